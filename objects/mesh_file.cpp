#include "objects/mesh_file.h"

#include "data/resource_file.h"
#include "data/show_budget.h"
#include "data/show_data.h"
#include "math/random.h"

#include <bit>
#include <new>
#include <unordered_map>

namespace {

constexpr std::size_t headerSize = 12;

// Reads little-endian values from bytes whose size has already been checked.
class MeshFileCursor {
public:
    explicit MeshFileCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint32_t u32() {
        const std::uint32_t value = static_cast<std::uint32_t>(bytes_[at_]) |
                                    static_cast<std::uint32_t>(bytes_[at_ + 1]) << 8 |
                                    static_cast<std::uint32_t>(bytes_[at_ + 2]) << 16 |
                                    static_cast<std::uint32_t>(bytes_[at_ + 3]) << 24;
        at_ += 4;
        return value;
    }
    float f32() { return std::bit_cast<float>(u32()); }
    Vec3 vec3() {
        const float x = f32();
        const float y = f32();
        return {x, y, f32()};
    }
    std::array<std::uint32_t, 3> triple() {
        const std::uint32_t a = u32();
        const std::uint32_t b = u32();
        return {a, b, u32()};
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

bool indicesBelow(const std::array<std::uint32_t, 3>& indices, std::size_t count) {
    return indices[0] < count && indices[1] < count && indices[2] < count;
}

enum class CornerColour { unchanged, atmosphereAlpha };

// How many triangles each list made here holds: what an object drawing it costs the show's budget.
std::unordered_map<GLuint, std::uint64_t>& listTriangles() {
    static std::unordered_map<GLuint, std::uint64_t> triangles;
    return triangles;
}

GLuint compileList(const MeshData& mesh, CornerColour colour) {
    const GLuint list = glGenLists(1);
    if (list == 0)
        return 0;
    listTriangles()[list] = mesh.faces.size();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glNewList(list, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (const MeshFace& face : mesh.faces) {
        for (int corner = 0; corner < 3; ++corner) {
            const Vec3& vertex = mesh.vertices[face.vertices[corner]];
            const Vec3& normal = face.normals[corner];
            const MeshTexCoord& texCoord = mesh.texCoords[face.texCoords[corner]];
            if (colour == CornerColour::atmosphereAlpha)
                glColor4f(1, 1, 1, 3 * vertex.x * vertex.x - 0.6f);
            glNormal3f(normal.x, normal.y, normal.z);
            glTexCoord2f(texCoord.u, texCoord.v);
            glVertex3f(vertex.x, vertex.y, vertex.z);
        }
    }
    glEnd();
    glEndList();
    glPopMatrix();
    glFinish();
    return list;
}

} // namespace

std::uint64_t meshFileSize(std::uint32_t vertexCount, std::uint32_t faceCount, std::uint32_t texCoordCount) {
    return headerSize + 12 * std::uint64_t{vertexCount} + 60 * std::uint64_t{faceCount} +
           8 * std::uint64_t{texCoordCount};
}

bool decodeMeshFile(std::span<const std::uint8_t> bytes, MeshData& mesh) {
    if (bytes.size() < headerSize)
        return false;
    MeshFileCursor cursor(bytes);
    const std::uint32_t vertexCount = cursor.u32();
    const std::uint32_t faceCount = cursor.u32();
    const std::uint32_t texCoordCount = cursor.u32();
    // Checked before anything is allocated, so damaged counts cannot ask for gigabytes.
    if (bytes.size() != meshFileSize(vertexCount, faceCount, texCoordCount))
        return false;

    MeshData decoded;
    decoded.vertices.resize(vertexCount);
    decoded.faces.resize(faceCount);
    decoded.texCoords.resize(texCoordCount);
    for (Vec3& vertex : decoded.vertices)
        vertex = cursor.vec3();
    for (MeshFace& face : decoded.faces)
        face.vertices = cursor.triple();
    for (MeshFace& face : decoded.faces)
        face.texCoords = cursor.triple();
    for (MeshTexCoord& texCoord : decoded.texCoords) {
        texCoord.u = cursor.f32();
        texCoord.v = cursor.f32();
    }
    for (MeshFace& face : decoded.faces) {
        for (Vec3& normal : face.normals)
            normal = cursor.vec3();
    }
    for (const MeshFace& face : decoded.faces) {
        if (!indicesBelow(face.vertices, vertexCount) || !indicesBelow(face.texCoords, texCoordCount))
            return false;
    }
    mesh = std::move(decoded);
    return true;
}

bool readMeshFile(ShowData& show, std::string_view memberName, MeshData& mesh) {
    ResourceFile file;
    if (!file.open(memberName, show.files))
        return false;
    return decodeMeshFile({file.data(), file.size()}, mesh);
}

void jitterVertices(MeshData& mesh) {
    for (Vec3& vertex : mesh.vertices) {
        const Vec3 axis = randomUnitVector();
        const float angle = 2.6f * randomFraction();
        rotateAboutAxis(vertex, axis, angle);
    }
}

GLuint compileMeshList(const MeshData& mesh) {
    return compileList(mesh, CornerColour::unchanged);
}

GLuint compileAtmosphereList(const MeshData& mesh) {
    return compileList(mesh, CornerColour::atmosphereAlpha);
}

std::uint64_t compiledTriangleCount(GLuint list) {
    const auto found = listTriangles().find(list);
    return found == listTriangles().end() ? 0 : found->second;
}

namespace {

// What one face costs once compiled: a normal, a texture coordinate and a vertex for each corner.
constexpr std::uint64_t compiledFaceBytes = 3 * (12 + 8 + 12);

enum class MeshRead { loaded, leftOut, refused };

MeshRead readWithinBudget(ShowData& show, std::string_view memberName, int lists, std::string_view what,
                          MeshData& mesh, MissingMesh missing) {
    ResourceFile file;
    if (!file.open(memberName, show.files)) {
        if (file.openResult() != ExtractResult::notFound || missing == MissingMesh::remarked)
            show.budget.leaveOut(memberName, describe(file.openResult()));
        return MeshRead::leftOut;
    }
    const std::span<const std::uint8_t> bytes{file.data(), file.size()};
    if (bytes.size() < headerSize) {
        show.budget.leaveOut(memberName, "not a mesh (too short for its counts)");
        return MeshRead::leftOut;
    }
    MeshFileCursor counts(bytes);
    const std::uint32_t vertexCount = counts.u32();
    const std::uint32_t faceCount = counts.u32();
    const std::uint32_t texCoordCount = counts.u32();
    if (bytes.size() != meshFileSize(vertexCount, faceCount, texCoordCount)) {
        show.budget.leaveOut(memberName, "damaged mesh (its counts do not match its size)");
        return MeshRead::leftOut;
    }
    // A decoded mesh holds about what its file does; each list compiled from it its faces once more.
    const std::uint64_t faces = std::uint64_t{faceCount} * lists;
    const BudgetNeed need = BudgetNeed{}
                                .add(BudgetItem::triangles, faces)
                                .add(BudgetItem::memory, bytes.size() + faces * compiledFaceBytes);
    if (!show.budget.take(need, what))
        return MeshRead::refused;
    bool decoded = false;
    try {
        decoded = decodeMeshFile(bytes, mesh);
    } catch (const std::bad_alloc&) {
        show.budget.leaveOut(memberName, "not enough memory to read it");
        return MeshRead::leftOut;
    }
    if (!decoded) {
        show.budget.leaveOut(memberName, "damaged mesh (a face names a vertex it does not have)");
        return MeshRead::leftOut;
    }
    return MeshRead::loaded;
}

} // namespace

bool readMeshWithinBudget(ShowData& show, std::string_view memberName, int lists, std::string_view what,
                          MeshData& mesh, MissingMesh missing) {
    return readWithinBudget(show, memberName, lists, what, mesh, missing) == MeshRead::loaded;
}

bool loadMeshFile(ShowData& show, GLuint& displayList, std::string_view memberName, bool jitter,
                  std::string_view what, MissingMesh missing) {
    MeshData mesh;
    switch (readWithinBudget(show, memberName, 1, what.empty() ? memberName : what, mesh, missing)) {
    case MeshRead::refused:
        displayList = 0;
        return false;
    case MeshRead::leftOut:
        return false;
    case MeshRead::loaded:
        break;
    }
    if (jitter)
        jitterVertices(mesh);
    const GLuint list = compileMeshList(mesh);
    if (list == 0)
        return false;
    displayList = list;
    return true;
}
