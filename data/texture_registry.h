#pragma once

#include "data/texture_upload.h"

#include <GL/gl.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct TextureEntry {
    GLuint texture = 0; // 0 when no picture could be loaded
    std::string path;   // "textures\" and the name from the list, however long
    LitBox lit;         // where the picture has light: all of a TGA picture, which may have alpha
};

// Every texture of the show, in the order of the list file. Filled by each load of a show; the GL textures
// live until the context goes.
using TextureRegistry = std::vector<TextureEntry>;

struct ShowData;
class ShowFiles;

// Reads the list member ("texture.txt") of the show into its registry: one picture per line, named by the
// line's first word, up to a line starting with "END_TEXT" or the end of the file. Blank lines are skipped.
// Every named picture gets an entry, with texture 0 when it cannot be loaded or its pixels do not fit in the
// show's budget; `progress`, when set, is called after each one. A missing list leaves the registry as it
// was.
void loadTextureList(ShowData& show, std::string_view listMemberName,
                     const std::function<void()>& progress = {});

// Sets the entry's path to "textures\" + name and makes its texture by the name's last three characters:
// "jpg" or "JPG" as JPEG, "tga" or "TGA" as TGA, when `admit` lets the decoded picture in. Any other ending
// leaves the texture as it was.
// The picture is read from `files`.
void loadTexture(ShowFiles& files, TextureEntry& entry, std::string_view name,
                 const PictureAdmission& admit = {});

// The first entry whose stored path is exactly `path` (case-sensitive, "textures\" included); null when
// there is none.
const TextureEntry* findTexture(const TextureRegistry& registry, std::string_view path);
