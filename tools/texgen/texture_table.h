#pragma once

#include "tools/texgen/picture.h"

#include <cstdint>
#include <span>
#include <vector>

enum class TextureFormat { jpeg, tga };

// One texture of the show: the file name under "textures\" and how to paint it.
struct TextureRecipe {
    const char* fileName;
    TextureFormat format;
    Picture (*paint)();
};

// Every texture texgen writes, in a fixed order.
std::span<const TextureRecipe> textureRecipes();

// The file bytes of a painted texture in its recipe's format.
std::vector<std::uint8_t> encodeTexture(const TextureRecipe& recipe, const Picture& picture);
