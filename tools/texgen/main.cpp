// texgen OUTPUT_FOLDER: paints every texture of the show into OUTPUT_FOLDER/textures/.

#include "tools/texgen/texture_table.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: texgen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "textures";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "texgen: cannot create %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }
    for (const TextureRecipe& recipe : textureRecipes()) {
        const std::vector<std::uint8_t> bytes = encodeTexture(recipe, recipe.paint());
        const std::filesystem::path path = folder / recipe.fileName;
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            std::fprintf(stderr, "texgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
