#include "tools/meshgen/sphere_mesh.h"
#include "tools/texgen/giant_textures.h"
#include "tools/texgen/rocky_textures.h"
#include "tools/texgen/sky_texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace {

constexpr float pi = std::numbers::pi_v<float>;

Vec3 directionAt(float latitudeDegrees, float longitudeDegrees) {
    const float latitude = latitudeDegrees * pi / 180;
    const float longitude = longitudeDegrees * pi / 180;
    return {std::cos(latitude) * std::cos(longitude), std::sin(latitude),
            -std::cos(latitude) * std::sin(longitude)};
}

// The texture coordinate the sky mesh draws in direction `d`: where the ray from the centre meets a face.
std::optional<MeshTexCoord> skyTexCoordAt(const MeshData& mesh, Vec3 d) {
    for (const MeshFace& face : mesh.faces) {
        const Vec3 a = mesh.vertices[face.vertices[0]];
        const Vec3 ab = mesh.vertices[face.vertices[1]] - a;
        const Vec3 ac = mesh.vertices[face.vertices[2]] - a;
        const Vec3 normal = cross(ab, ac);
        if (dot(normal, d) <= 0)
            continue;
        const Vec3 p = (dot(normal, a) / dot(normal, d)) * d - a;
        const float area = dot(normal, normal);
        const float wb = dot(cross(p, ac), normal) / area;
        const float wc = dot(cross(ab, p), normal) / area;
        if (wb < -1e-6f || wc < -1e-6f || wb + wc > 1 + 1e-6f)
            continue;
        const MeshTexCoord t[3] = {mesh.texCoords[face.texCoords[0]], mesh.texCoords[face.texCoords[1]],
                                   mesh.texCoords[face.texCoords[2]]};
        const float wa = 1 - wb - wc;
        return MeshTexCoord{wa * t[0].u + wb * t[1].u + wc * t[2].u, wa * t[0].v + wb * t[1].v + wc * t[2].v};
    }
    return std::nullopt;
}

// The green of the picture at (u, v), filtered between the four nearest texels as the saver draws it.
float greenAt(const Picture& picture, MeshTexCoord t) {
    const float x = t.u * static_cast<float>(picture.width) - 0.5f;
    const float y = (1 - t.v) * static_cast<float>(picture.height) - 0.5f;
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(x0);
    const float fy = y - static_cast<float>(y0);
    const auto texel = [&](int tx, int ty) {
        tx = (tx % picture.width + picture.width) % picture.width;
        ty = std::clamp(ty, 0, picture.height - 1);
        return picture.at(tx, ty).g;
    };
    return (1 - fy) * ((1 - fx) * texel(x0, y0) + fx * texel(x0 + 1, y0)) +
           fy * ((1 - fx) * texel(x0, y0 + 1) + fx * texel(x0 + 1, y0 + 1));
}

} // namespace

TEST(SkyTexture, StarsAreRoundDiscsOnTheDrawnSkyFromTheEquatorToThePoles) {
    // Seen through the sky's mesh, every star is equally bright all round its centre at a given angle and as
    // bright in the middle wherever it stands: near a pole it must be painted many texels wide, and its
    // shape must follow the mesh's pole triangles.
    // The sky's own size, where the pole triangles are as narrow against a star as the show's are. The stars
    // stand far enough apart that none reaches another's ring.
    constexpr int width = 2048;
    const float radius = 2.5f * 2 * pi / width; // wide enough in texels that filtering barely blurs it
    const float places[][2] = {{0, 40},      {55, 100},  {80, 200},   {84, 15},
                               {87.8f, 300}, {-86, 130}, {-89.3f, 70}};
    std::vector<Star> stars;
    for (const auto& place : places)
        stars.push_back({directionAt(place[0], place[1]), radius, {1, 1, 1, 1}});
    const Picture sky = paintStars(width, width / 2, stars);
    const MeshData mesh = unitSphereMesh(skyMeshStacks, skyMeshSlices);
    for (const Star& star : stars) {
        SCOPED_TRACE(::testing::PrintToString(
            std::vector<float>{star.direction.x, star.direction.y, star.direction.z}));
        const std::optional<MeshTexCoord> centre = skyTexCoordAt(mesh, star.direction);
        ASSERT_TRUE(centre);
        EXPECT_NEAR(greenAt(sky, *centre), 1, 0.1f) << "the star's middle is at its full light";
        // Two axes across the star's direction, and eight points around it at 0.8 radius.
        const Vec3 east = normalize(cross({0, 1, 0}, star.direction));
        const Vec3 north = cross(star.direction, east);
        float dimmest = 1;
        float brightest = 0;
        for (int k = 0; k < 8; ++k) {
            const float turn = static_cast<float>(k) * pi / 4;
            const float off = 0.8f * radius;
            const Vec3 d =
                normalize(star.direction + std::tan(off) * (std::cos(turn) * east + std::sin(turn) * north));
            const std::optional<MeshTexCoord> t = skyTexCoordAt(mesh, d);
            ASSERT_TRUE(t);
            const float light = greenAt(sky, *t);
            dimmest = std::min(dimmest, light);
            brightest = std::max(brightest, light);
        }
        EXPECT_NEAR(dimmest, std::exp(-0.64f), 0.1f);
        EXPECT_NEAR(brightest, std::exp(-0.64f), 0.1f);
    }
}

TEST(DaySides, TheLitFaceOfEachPlanetWithAirKeepsItsColoursShortOfWhite) {
    // Under the midday Sun a texel is lit at full strength and the air shell adds its colour over it, at its
    // script's alpha, before any highlight. No more than a twentieth of such a face may come out white, or
    // the continents and the blue of Neptune drown in it.
    const Picture air = paintAirGlow(64, 32);
    Colour airColour{0, 0, 0, 1};
    for (const Colour& texel : air.pixels)
        airColour = added(airColour, scaled(texel, 1.0f / static_cast<float>(air.pixels.size())));
    const Picture earth = paintEarth(256, 128);
    const Picture clouds = paintEarthClouds(256, 128);
    const Picture neptune = paintNeptune(256, 128);
    const struct {
        const char* name;
        const Picture* surface;
        const Picture* cover;
        float airAlpha;
    } planets[] = {{"Earth", &earth, &clouds, 0.8f}, {"Neptune", &neptune, nullptr, 0.6f}};
    for (const auto& planet : planets) {
        SCOPED_TRACE(planet.name);
        // Each texel weighs as much as the piece of sphere it covers.
        float whiteArea = 0;
        float area = 0;
        for (int y = 0; y < planet.surface->height; ++y) {
            const float weight = std::cos(
                (static_cast<float>(y) + 0.5f) / static_cast<float>(planet.surface->height) * pi - pi / 2);
            for (int x = 0; x < planet.surface->width; ++x) {
                Colour lit = planet.surface->at(x, y);
                if (planet.cover)
                    lit = mix(lit, planet.cover->at(x, y), planet.cover->at(x, y).a);
                lit = added(lit, scaled(airColour, planet.airAlpha));
                area += weight;
                whiteArea += std::min({lit.r, lit.g, lit.b}) >= 250.0f / 255 ? weight : 0;
            }
        }
        EXPECT_LE(whiteArea / area, 0.05f);
    }
}

TEST(SaturnRing, ShowsBandsAcrossItsWidthAndAClearGap) {
    // What a ring texel puts over the sky: its brightness times its opacity, across the ring from the inner
    // edge.
    const Picture ring = paintSaturnRing(512, 8);
    std::vector<float> shown;
    std::vector<float> opacity;
    for (int x = 0; x < ring.width; ++x) {
        const Colour c = ring.at(x, 0);
        shown.push_back((c.r + c.g + c.b) / 3 * c.a);
        opacity.push_back(c.a);
    }
    const auto average = [&](int centre, int half) {
        float sum = 0;
        for (int k = centre - half; k < centre + half; ++k)
            sum += shown[k];
        return sum / static_cast<float>(2 * half);
    };
    // Bands: over the bright middle ring (from 0.3 to 0.6 of the width) the profile averaged over 8 texels,
    // so single ringlets do not count, strays from its average over 64 by a sixth on the whole.
    float strayed = 0;
    const int from = ring.width * 3 / 10;
    const int to = ring.width * 6 / 10;
    for (int x = from; x < to; ++x)
        strayed += std::abs(average(x, 4) / average(x, 32) - 1) / static_cast<float>(to - from);
    EXPECT_GT(strayed, 1.0f / 6);
    // A gap (the Cassini division): at least 2 % of the width nearly clear, dense ring on both sides.
    int widestGap = 0;
    for (int x = 0, run = 0; x < ring.width; ++x) {
        run = opacity[x] < 0.1f ? run + 1 : 0;
        const bool denseBefore = *std::max_element(opacity.begin(), opacity.begin() + (x - run + 1)) > 0.6f;
        const bool denseAfter =
            x + 1 < ring.width && *std::max_element(opacity.begin() + x + 1, opacity.end()) > 0.6f;
        if (denseBefore && denseAfter)
            widestGap = std::max(widestGap, run);
    }
    EXPECT_GE(widestGap, ring.width / 50);
}
