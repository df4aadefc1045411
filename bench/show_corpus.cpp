#include "bench/show_corpus.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <random>

namespace {

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void putFloat(std::vector<std::uint8_t>& out, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    putU32(out, bits);
}

// A latitude-longitude sphere in the mesh file layout, its radius bent by `roughness` for rocky bodies.
CorpusFile sphereMesh(const std::string& name, int slices, int stacks, float roughness, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<float> x, y, z, u, v;
    for (int stack = 0; stack <= stacks; ++stack)
        for (int slice = 0; slice <= slices; ++slice) {
            const double theta = std::numbers::pi * stack / stacks;
            const double phi = 2 * std::numbers::pi * slice / slices;
            const double r = 1.0 + roughness * (static_cast<double>(random() % 1000) / 1000.0 - 0.5);
            x.push_back(static_cast<float>(r * std::sin(theta) * std::cos(phi)));
            y.push_back(static_cast<float>(r * std::cos(theta)));
            z.push_back(static_cast<float>(r * std::sin(theta) * std::sin(phi)));
            u.push_back(static_cast<float>(slice) / static_cast<float>(slices));
            v.push_back(static_cast<float>(stack) / static_cast<float>(stacks));
        }
    std::vector<std::uint32_t> faces;
    const auto at = [&](int stack, int slice) {
        return static_cast<std::uint32_t>(stack * (slices + 1) + slice);
    };
    for (int stack = 0; stack < stacks; ++stack)
        for (int slice = 0; slice < slices; ++slice) {
            faces.insert(faces.end(), {at(stack, slice), at(stack + 1, slice), at(stack + 1, slice + 1)});
            faces.insert(faces.end(), {at(stack, slice), at(stack + 1, slice + 1), at(stack, slice + 1)});
        }
    CorpusFile file{name, {}};
    std::vector<std::uint8_t>& out = file.bytes;
    putU32(out, static_cast<std::uint32_t>(x.size()));
    putU32(out, static_cast<std::uint32_t>(faces.size() / 3));
    putU32(out, static_cast<std::uint32_t>(u.size()));
    for (std::size_t i = 0; i < x.size(); ++i) {
        putFloat(out, x[i]);
        putFloat(out, y[i]);
        putFloat(out, z[i]);
    }
    for (std::uint32_t index : faces)
        putU32(out, index);
    for (std::uint32_t index : faces) // texture indices follow the vertices
        putU32(out, index);
    for (std::size_t i = 0; i < u.size(); ++i) {
        putFloat(out, u[i]);
        putFloat(out, v[i]);
    }
    for (std::uint32_t index : faces) {
        const float length = std::sqrt(x[index] * x[index] + y[index] * y[index] + z[index] * z[index]);
        putFloat(out, x[index] / length);
        putFloat(out, y[index] / length);
        putFloat(out, z[index] / length);
    }
    return file;
}

// Smooth noise in 0..1: bilinear interpolation of a random lattice, summed over octaves.
double cloudNoise(double x, double y, unsigned seed) {
    const auto lattice = [seed](int i, int j) {
        std::uint32_t h = static_cast<std::uint32_t>(i) * 374761393u +
                          static_cast<std::uint32_t>(j) * 668265263u + seed * 2246822519u;
        h = (h ^ (h >> 13)) * 1274126177u;
        return static_cast<double>((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
    };
    double sum = 0, amplitude = 0.5;
    for (int octave = 0; octave < 5; ++octave, x *= 2, y *= 2, amplitude /= 2) {
        const int i = static_cast<int>(std::floor(x)), j = static_cast<int>(std::floor(y));
        const double fx = x - i, fy = y - j;
        const double top = lattice(i, j) * (1 - fx) + lattice(i + 1, j) * fx;
        const double bottom = lattice(i, j + 1) * (1 - fx) + lattice(i + 1, j + 1) * fx;
        sum += amplitude * (top * (1 - fy) + bottom * fy);
    }
    return sum;
}

std::vector<std::uint8_t> tgaHeader(int width, int height, int imageType, int bitsPerPixel) {
    std::vector<std::uint8_t> header(18, 0);
    header[2] = static_cast<std::uint8_t>(imageType);
    header[12] = static_cast<std::uint8_t>(width);
    header[13] = static_cast<std::uint8_t>(width >> 8);
    header[14] = static_cast<std::uint8_t>(height);
    header[15] = static_cast<std::uint8_t>(height >> 8);
    header[16] = static_cast<std::uint8_t>(bitsPerPixel);
    header[17] = bitsPerPixel == 32 ? 8 : 0;
    return header;
}

std::uint8_t toByte(double value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0));
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

std::vector<CorpusFile> meshFiles() {
    return {sphereMesh("meshes\\sphere.dat", 48, 24, 0, 1), sphereMesh("meshes\\env.dat", 32, 16, 0, 2),
            sphereMesh("meshes\\asteroid.dat", 40, 20, 0.3f, 3),
            sphereMesh("meshes\\moon.dat", 64, 32, 0.02f, 4)};
}

std::vector<CorpusFile> scriptFiles() {
    static const char* const planets[] = {"sun",   "mercury", "venus",   "earth",  "moon",
                                          "mars",  "jupiter", "io",      "europa", "saturn",
                                          "titan", "uranus",  "neptune", "triton", "pluto"};
    std::mt19937 random(7);
    const auto number = [&](int range) {
        return std::to_string(static_cast<int>(random() % static_cast<unsigned>(range)) - range / 2) + "." +
               std::to_string(random() % 100);
    };
    std::string textures, worlds, objects;
    for (const char* planet : planets) {
        textures += std::string("textures\\") + planet + ".jpg\n" + "textures\\" + planet + "_alpha.tga\n";
        objects += std::string("sphere\nname ") + planet + "\ntexture textures\\" + planet +
                   ".jpg\nposition " + number(90000) + " " + number(2000) + " " + number(90000) +
                   "\nradius " + number(4000) + "\nspin " + number(40) + "\ntilt " + number(60) +
                   "\nlit\nEND\n";
        objects += std::string("flare\nname ") + planet + "_glow\nsize " + number(300) + "\ncolor " +
                   number(2) + " " + number(2) + " " + number(2) + "\nEND\n";
    }
    textures += "END_TEXT\n";
    for (int world = 0; world < 6; ++world)
        worlds += "world system" + std::to_string(world) +
                  "\nsystem\nscenedir forward\nenv space\nobjects objects" + std::to_string(world) +
                  ".txt\nWORLD_END\n";
    worlds += "ENDWORLD\n";
    return {{"texture.txt", {textures.begin(), textures.end()}},
            {"worlds.txt", {worlds.begin(), worlds.end()}},
            {"objects.txt", {objects.begin(), objects.end()}}};
}

std::vector<CorpusFile> tgaFiles() {
    std::vector<CorpusFile> files;
    // Cloud layers with alpha, 32 bits.
    for (unsigned seed = 1; seed <= 2; ++seed) {
        CorpusFile file{"textures\\clouds" + std::to_string(seed) + ".tga", tgaHeader(512, 256, 2, 32)};
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 512; ++x) {
                const double c = cloudNoise(x / 64.0, y / 64.0, seed);
                file.bytes.insert(file.bytes.end(), {toByte(230 * c + 25), toByte(235 * c + 20),
                                                     toByte(255 * c), toByte(400 * (c - 0.35))});
            }
        files.push_back(std::move(file));
    }
    // A flare: a radial glow with rays, 24 bits.
    CorpusFile flare{"textures\\flare.tga", tgaHeader(256, 256, 2, 24)};
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const double dx = x - 127.5, dy = y - 127.5;
            const double r = std::sqrt(dx * dx + dy * dy) / 128;
            const double rays = 0.3 * std::pow(std::abs(std::cos(6 * std::atan2(dy, dx))), 20);
            const double glow = std::max(0.0, 1 - r) * (0.7 + rays);
            flare.bytes.insert(flare.bytes.end(),
                               {toByte(255 * glow), toByte(220 * glow), toByte(180 * glow)});
        }
    files.push_back(std::move(flare));
    return files;
}

CorpusFile pcmSound(double seconds) {
    constexpr int rate = 44100;
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    CorpusFile file{"music.wav", {'R', 'I', 'F', 'F'}};
    std::vector<std::uint8_t>& out = file.bytes;
    putU32(out, 36 + frames * 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putU32(out, 16);
    putU32(out, 1 | 2 << 16); // PCM, two channels
    putU32(out, rate);
    putU32(out, rate * 4);
    putU32(out, 4 | 16 << 16); // block align, bits per sample
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    putU32(out, frames * 4);

    static const double chords[4][3] = {
        {220, 277.2, 329.6}, {196, 246.9, 293.7}, {174.6, 220, 261.6}, {196, 246.9, 311.1}};
    std::mt19937 random(5);
    std::normal_distribution<double> hiss(0, 40);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double beat = std::fmod(t, 2.0);
        const double envelope = std::exp(-1.5 * beat) * 0.8 + 0.2;
        const auto& chord = chords[static_cast<int>(t / 2) % 4];
        double left = 0, right = 0;
        for (int n = 0; n < 3; ++n) {
            const double tone = std::sin(2 * std::numbers::pi * chord[n] * t) +
                                0.3 * std::sin(4 * std::numbers::pi * chord[n] * t);
            left += tone * (n == 0 ? 1.0 : 0.6);
            right += tone * (n == 2 ? 1.0 : 0.6);
        }
        const auto sample = [&](double value) {
            return static_cast<std::uint16_t>(
                static_cast<std::int16_t>(std::clamp(value, -32767.0, 32767.0)));
        };
        const std::uint16_t l = sample(4000 * envelope * left + hiss(random));
        const std::uint16_t r = sample(4000 * envelope * right + hiss(random));
        out.insert(out.end(), {static_cast<std::uint8_t>(l), static_cast<std::uint8_t>(l >> 8),
                               static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(r >> 8)});
    }
    return file;
}

std::vector<CorpusFile> greyImages() {
    std::vector<CorpusFile> files;
    for (unsigned seed = 1; seed <= 2; ++seed) {
        CorpusFile file{"textures\\height" + std::to_string(seed) + ".raw", {}};
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x)
                file.bytes.push_back(
                    toByte(255 * cloudNoise(x / (40.0 * seed), y / (40.0 * seed), seed + 10)));
        files.push_back(std::move(file));
    }
    return files;
}

std::vector<CorpusFile> textCorpus(const std::filesystem::path& sourceFolder) {
    std::vector<std::filesystem::path> paths;
    for (const char* folder : {"data", "tools", "app", "math", "scene", "objects", "tests"}) {
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(sourceFolder / folder, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            const std::string extension = it->path().extension().string();
            if (it->is_regular_file() && (extension == ".cpp" || extension == ".h") &&
                it->path().string().find("node_modules") == std::string::npos)
                paths.push_back(it->path());
        }
    }
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/share/common-licenses", ec))
        if (entry.is_regular_file())
            paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    std::vector<CorpusFile> files;
    for (const auto& path : paths)
        files.push_back({std::to_string(files.size()) + "_" + path.filename().string(), readFile(path)});
    return files;
}
