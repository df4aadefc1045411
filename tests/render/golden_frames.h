#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Running `heliox --render` on a test show, and comparing its frames with the stored golden frames in
// tests/golden. Set HELIOX_UPDATE_GOLDEN=1 to write the golden frames anew from a run, then open them and
// look at them before committing: a golden frame of a wrong scene protects nothing.

struct RenderRun {
    int exitCode = -1;
    std::string output; // standard output and standard error together
    std::vector<std::filesystem::path> frames;
};

// `heliox --render FOLDER --data ARCHIVE` with the further arguments (such as "--frames 3 --seed 7").
RenderRun renderShow(const std::filesystem::path& archive, const std::filesystem::path& folder,
                     const std::string& arguments);

// Empty when the frame matches tests/golden/NAME.png: the same size, and no channel of any pixel further
// apart than `tolerance` except in at most `allowedPixels` pixels (rasterisers round a few edge pixels
// differently). Otherwise what differs, and where a copy of the frame was left for a look.
std::string compareWithGolden(const std::filesystem::path& frame, const std::string& name, int tolerance = 6,
                              int allowedPixels = 16);
