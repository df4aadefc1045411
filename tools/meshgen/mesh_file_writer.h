#pragma once

#include "objects/mesh_file.h"

#include <cstdint>
#include <filesystem>
#include <vector>

// Encodes a mesh as a ".dat" file, the counts taken from the mesh's arrays: what decodeMeshFile reads back.
std::vector<std::uint8_t> meshFileBytes(const MeshData& mesh);

// Writes meshFileBytes(mesh) to `path`, making its folder. False when the file cannot be written in full.
bool writeMeshFile(const std::filesystem::path& path, const MeshData& mesh);
