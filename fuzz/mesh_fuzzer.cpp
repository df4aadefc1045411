// Mesh files: any bytes must either decode into indices that stay inside their arrays or be refused.
#include "objects/mesh_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MeshData mesh;
    if (!decodeMeshFile({data, size}, mesh))
        return 0;
    for (const MeshFace& face : mesh.faces)
        for (int corner = 0; corner < 3; ++corner)
            if (face.vertices[corner] >= mesh.vertices.size() ||
                face.texCoords[corner] >= mesh.texCoords.size())
                std::abort(); // an index the checks let through
    return 0;
}
