// Loading a show and drawing its frames off-screen, as `heliox --render` does: the time to load a test show
// (scripts, meshes, textures) and the milliseconds per frame at 800 × 600 and 1920 × 1080.
//   render_bench [FRAMES]
#include "app/headless/gl_context.h"
#include "app/saver_run.h"
#include "base/settings.h"
#include "data/resource_file.h"
#include "tests/render/test_show.h"

#include <GL/gl.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numbers>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Smooth noise of colour bands: a picture that compresses and filters like a real planet texture.
std::vector<std::uint8_t> bandedPicture(int size, int seed) {
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double v = 0.5 + 0.25 * std::sin(y * 0.07 + seed) + 0.25 * std::sin((x + y * seed) * 0.013);
            rgb.insert(rgb.end(), {static_cast<std::uint8_t>(255 * v), static_cast<std::uint8_t>(180 * v),
                                   static_cast<std::uint8_t>(120 + 100 * v)});
        }
    return rgb;
}

// The shape of the real show at a smaller scale: a sky, a Sun, eight textured planets with moons, clouds and
// an atmosphere, halos and a flare with its lens effect.
TestShow benchmarkShow() {
    TestShow show;
    std::string textures = "sky.jpg\nsun.jpg\nglow.jpg\n";
    show.addJpeg("textures\\sky.jpg", 1024, 1024, bandedPicture(1024, 1));
    show.addJpeg("textures\\sun.jpg", 512, 512, bandedPicture(512, 2));
    show.addJpeg("textures\\glow.jpg", 256, 256, bandedPicture(256, 3));
    std::string solar = "sphere\nbegin Sun\nlight\nradius 6000\ntexture textures\\sun.jpg\nend\n"
                        "flare\nbegin\nsize 60\ntexture textures\\glow.jpg\nend\n";
    for (int planet = 0; planet < 8; ++planet) {
        const std::string name = "p" + std::to_string(planet) + ".jpg";
        textures += name + "\n";
        show.addJpeg("textures\\" + name, 512, 256, bandedPicture(256, planet + 4));
        const double angle = planet * std::numbers::pi / 4;
        const std::string position = "position V(" + std::to_string(int(20000 * std::cos(angle))) + " 0 " +
                                     std::to_string(int(20000 * std::sin(angle))) + ")\n";
        solar += "sphere\nbegin P" + std::to_string(planet) + "\norbit\n" + position +
                 "radius 2500\ntexture textures\\" + name + "\nend\n";
        solar += "sphere\nbegin\natmo\norbit\n" + position + "radius 3000\ntexture textures\\glow.jpg\nend\n";
        solar += "billboard\nbegin\n" + position + "size 9000\noreol\ntexture textures\\glow.jpg\nend\n";
    }
    show.addText("texture.txt", textures + "END_TEXT\n");
    show.addMesh("meshes\\sphere.dat", uvSphereMesh(32, 48));
    show.addMesh("meshes\\env.dat", uvSphereMesh(16, 24));
    show.addText("env.txt", "env space\nfirstpass sky.txt\nend\nENV_END\n");
    show.addText("sky.txt", "sphere\nbegin\nenv\nradius 50\ntexture textures\\sky.jpg\nend\nENDWORLD\n");
    show.addText("worlds.txt", "world world\nenv space\nobjects solar.txt\nsystem\nend\nWORLD_END\n");
    show.addText("solar.txt", solar + "ENDWORLD\n");
    return show;
}

void measure(const std::string& show, int width, int height, int frames) {
    auto context = HeadlessGlContext::create(width, height);
    if (!context) {
        std::fprintf(stderr, "render_bench: no off-screen OpenGL context\n");
        std::exit(1);
    }
    const Settings settings;
    SaverRun run(settings, width, height, {}, show);
    const Clock::time_point loadStart = Clock::now();
    run.load(1);
    glFinish();
    const double loadMs = millisecondsSince(loadStart);

    run.frame(1.0 / 60); // the first frame fills the frame lists
    glFinish();
    const Clock::time_point drawStart = Clock::now();
    for (int i = 0; i < frames; ++i) {
        run.frame(1.0 / 60);
        glFinish();
    }
    const double frameMs = millisecondsSince(drawStart) / frames;
    std::printf("%5d x %-5d  load %7.1f ms   frame %6.2f ms  (%5.1f frames per second)\n", width, height,
                loadMs, frameMs, 1000 / frameMs);
}

} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 60;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "heliox-render-bench";
    const std::string show = benchmarkShow().save(folder).string();
    measure(show, 800, 600, frames);
    measure(show, 1920, 1080, frames);
    std::filesystem::remove_all(folder);
}
