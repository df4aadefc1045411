#include "objects/mesh.h"

#include "math/matrix4.h"
#include "objects/common_keywords.h"
#include "objects/mesh_file.h"
#include "objects/script_scan.h"
#include "objects/shared_meshes.h"
#include "objects/show.h"

#include <string>

namespace {

// The "material" line is followed by four tab-indented lines: "\tmetal" or anything else, "\tchrome" or
// anything else, "\tmap1 TEXTURE" and "\tmap2 TEXTURE" (the second map is not drawn). The line reader keeps
// tabs, so each is matched with its tab. A line starting with "end" ends the material early and is left for
// the block to end at: a short material must not swallow the block's end and read on into the next object.
void readMaterial(ScriptReader& script, Mesh& mesh) {
    const auto nextMaterialLine = [&script] {
        script.nextLine();
        return !script.lineStartsWith("end");
    };
    if (!nextMaterialLine())
        return;
    mesh.metal = script.lineStartsWith("\tmetal");
    if (!nextMaterialLine())
        return;
    mesh.chrome = script.lineStartsWith("\tchrome");
    if (!nextMaterialLine())
        return;
    std::string textureName;
    if (script.lineStartsWith("\tmap1") &&
        scanLine(script.line(), "\tmap1 %s", ScanWord{textureName, scriptLineCapacity}) == 1) {
        resolveTexture(script.show(), mesh, textureName);
        mesh.textured = true;
        remarkUnknownTexture(script, textureName);
    }
    nextMaterialLine();
}

} // namespace

void Mesh::draw(const Show&) {
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    glMultMatrixf(basisMatrix(look, right, cross(look, right)).m.data());
    glRotatef(orientAngle, orientAxis.x, orientAxis.y, orientAxis.z);
    glScalef(scale, scale, scale);

    glEnable(GL_TEXTURE_2D);
    if (textured)
        glBindTexture(GL_TEXTURE_2D, textureId);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, light ? GL_ADD : GL_MODULATE);
    if (illum)
        glDisable(GL_LIGHTING);
    // The material is the mesh's own whatever was drawn before it: the colour sets it (white, or for a
    // blended mesh the opacity in its colour's first value, since lit faces take their alpha from the
    // material), and the highlight is set here, so a plastic rock never shines with a specular planet's
    // highlight nor takes a moon's colour.
    const float metalSpecular[4] = {0.4f, 0.4f, 0.4f, 1.0f};
    const float noSpecular[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT, GL_SPECULAR, metal ? metalSpecular : noSpecular);
    glMaterialf(GL_FRONT, GL_SHININESS, 19.6f);
    if (metal)
        glEnable(GL_LIGHT0);
    // An opaque mesh writes depth like any body, so what is drawn after it and lies behind it (the Sun,
    // which writes none of its own, and every glow) stays hidden. A translucent one writes none: what is
    // behind it must still show through wherever it is drawn from.
    if (blend) {
        glDepthMask(GL_FALSE);
        glEnable(GL_ALPHA_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_CULL_FACE);
    }
    glEnable(GL_COLOR_MATERIAL);
    glColor4f(1, 1, 1, blend ? color.x : 1);

    glCallList(displayList);

    // Leave the material opaque white, as an opaque sphere does, for the lit objects after this one.
    glColor4f(1, 1, 1, 1);
    glDisable(GL_COLOR_MATERIAL);

    glDepthMask(GL_TRUE);
    if (metal)
        glDisable(GL_LIGHT0);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    // A self-lit mesh must not make every object drawn after it glow: the texture modulates again.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPopMatrix();
}

BudgetNeed Mesh::budgetNeed(const Show& show) const {
    return SceneObject::budgetNeed(show).add(BudgetItem::triangles, compiledTriangleCount(displayList));
}

namespace {

// Old scripts also carry "speed" and "tiling" lines; meshes have no use for them, so they are ignored
// like any other unknown line.
std::vector<BlockKeyword> meshKeywords(Mesh& m) {
    return {
        {"orient",
         [&m](ScriptReader& s) {
             scanLine(s.line(), "orient V(%f %f %f) %f", m.orientAxis.x, m.orientAxis.y, m.orientAxis.z,
                      m.orientAngle);
         }},
        vectorKeyword("position", m.position),
        vectorKeyword("look", m.look),
        vectorKeyword("right", m.right),
        {"material", [&m](ScriptReader& s) { readMaterial(s, m); }},
        floatKeyword("scale", m.scale, NumberRange{0}),
        flagKeyword("light", m.light),
        flagKeyword("illum", m.illum),
        flagKeyword("invup", m.invup),
        flagKeyword("blend", m.blend),
        vectorKeyword("color", m.color, NumberRange{0, 1}),
    };
}

} // namespace

std::vector<std::string_view> meshBlockKeywords() {
    Mesh mesh;
    return keywordPrefixes(meshKeywords(mesh));
}

std::unique_ptr<SceneObject> parseMesh(ScriptReader& script, const ObjectList&) {
    auto mesh = std::make_unique<Mesh>();
    Mesh& m = *mesh;
    m.displayList = script.show().meshes.geometry;
    if (!readBlockBegin(script, m.name, SceneObject::maxNameLength))
        return nullptr;
    if (!readBlockBody(script, meshKeywords(m)))
        return nullptr;
    return mesh;
}
