#include "gl/draw_state.h"

#include <GL/gl.h>

#include <string>

namespace {

// A switch that glEnable and glDisable set.
struct Capability {
    GLenum capability;
    bool on;
    const char* name;
};

constexpr Capability capabilities[] = {
    {GL_BLEND, true, "blending"},
    {GL_ALPHA_TEST, true, "alpha test"},
    {GL_DEPTH_TEST, true, "depth test"},
    {GL_LIGHTING, true, "lighting"},
    {GL_LIGHT0, false, "light 0"},
    {GL_LIGHT1, true, "light 1"},
    {GL_LIGHT2, false, "light 2"},
    {GL_NORMALIZE, true, "GL_NORMALIZE"},
    {GL_COLOR_MATERIAL, false, "colour material"},
    {GL_TEXTURE_2D, true, "2-D texturing"},
    {GL_TEXTURE_GEN_S, false, "texture-coordinate generation (s)"},
    {GL_TEXTURE_GEN_T, false, "texture-coordinate generation (t)"},
    {GL_FOG, false, "fog"},
    {GL_CULL_FACE, false, "face culling"},
};

// A value read with glGetIntegerv (or, for the texture environment, glGetTexEnviv) and set by its own call.
struct Setting {
    GLenum query;
    GLint expected;
    const char* name;
    void (*set)(GLint value);
};

const Setting settings[] = {
    {GL_MATRIX_MODE, GL_MODELVIEW, "matrix mode", [](GLint v) { glMatrixMode(static_cast<GLenum>(v)); }},
    {GL_BLEND_SRC, GL_SRC_ALPHA, "blend source",
     [](GLint v) {
         GLint destination = GL_ONE;
         glGetIntegerv(GL_BLEND_DST, &destination);
         glBlendFunc(static_cast<GLenum>(v), static_cast<GLenum>(destination));
     }},
    {GL_BLEND_DST, GL_ONE, "blend destination",
     [](GLint v) {
         GLint source = GL_SRC_ALPHA;
         glGetIntegerv(GL_BLEND_SRC, &source);
         glBlendFunc(static_cast<GLenum>(source), static_cast<GLenum>(v));
     }},
    {GL_ALPHA_TEST_FUNC, GL_ALWAYS, "alpha function",
     [](GLint v) { glAlphaFunc(static_cast<GLenum>(v), 0); }},
    {GL_DEPTH_FUNC, GL_LESS, "depth function", [](GLint v) { glDepthFunc(static_cast<GLenum>(v)); }},
    {GL_CULL_FACE_MODE, GL_BACK, "cull-face mode", [](GLint v) { glCullFace(static_cast<GLenum>(v)); }},
    {GL_FRONT_FACE, GL_CCW, "front face", [](GLint v) { glFrontFace(static_cast<GLenum>(v)); }},
    {GL_COLOR_MATERIAL_PARAMETER, GL_AMBIENT_AND_DIFFUSE, "colour material parameter",
     [](GLint v) { glColorMaterial(GL_FRONT_AND_BACK, static_cast<GLenum>(v)); }},
    {GL_TEXTURE_ENV_MODE, GL_MODULATE, "texture environment mode",
     [](GLint v) { glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, v); }},
};

GLint currentValue(GLenum query) {
    GLint value = 0;
    if (query == GL_TEXTURE_ENV_MODE)
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    else
        glGetIntegerv(query, &value);
    return value;
}

std::string enumName(GLint value) {
    switch (value) {
    case GL_MODELVIEW:
        return "GL_MODELVIEW";
    case GL_PROJECTION:
        return "GL_PROJECTION";
    case GL_TEXTURE:
        return "GL_TEXTURE";
    case GL_ZERO:
        return "GL_ZERO";
    case GL_ONE:
        return "GL_ONE";
    case GL_SRC_ALPHA:
        return "GL_SRC_ALPHA";
    case GL_ONE_MINUS_SRC_ALPHA:
        return "GL_ONE_MINUS_SRC_ALPHA";
    case GL_ALWAYS:
        return "GL_ALWAYS";
    case GL_LESS:
        return "GL_LESS";
    case GL_LEQUAL:
        return "GL_LEQUAL";
    case GL_GREATER:
        return "GL_GREATER";
    case GL_FRONT:
        return "GL_FRONT";
    case GL_BACK:
        return "GL_BACK";
    case GL_FRONT_AND_BACK:
        return "GL_FRONT_AND_BACK";
    case GL_CW:
        return "GL_CW";
    case GL_CCW:
        return "GL_CCW";
    case GL_AMBIENT_AND_DIFFUSE:
        return "GL_AMBIENT_AND_DIFFUSE";
    case GL_DIFFUSE:
        return "GL_DIFFUSE";
    case GL_MODULATE:
        return "GL_MODULATE";
    case GL_ADD:
        return "GL_ADD";
    case GL_REPLACE:
        return "GL_REPLACE";
    case GL_DECAL:
        return "GL_DECAL";
    default:
        return std::to_string(value);
    }
}

// The three matrix stacks, each expected at depth 1.
struct Stack {
    GLenum mode;
    GLenum depthQuery;
    const char* name;
};

constexpr Stack stacks[] = {
    {GL_MODELVIEW, GL_MODELVIEW_STACK_DEPTH, "model-view stack depth"},
    {GL_PROJECTION, GL_PROJECTION_STACK_DEPTH, "projection stack depth"},
    {GL_TEXTURE, GL_TEXTURE_STACK_DEPTH, "texture stack depth"},
};

bool textureMatrixIsIdentity() {
    float m[16];
    glGetFloatv(GL_TEXTURE_MATRIX, m);
    for (int i = 0; i < 16; ++i)
        if (m[i] != (i % 5 == 0 ? 1.0f : 0.0f))
            return false;
    return true;
}

} // namespace

void establishDrawState() {
    for (const Capability& c : capabilities)
        c.on ? glEnable(c.capability) : glDisable(c.capability);
    for (const Stack& s : stacks) {
        glMatrixMode(s.mode);
        for (GLint depth = currentValue(s.depthQuery); depth > 1; --depth)
            glPopMatrix();
    }
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    for (const Setting& s : settings)
        s.set(s.expected);
    glDepthMask(GL_TRUE);
}

std::vector<std::string> drawStateDifferences() {
    std::vector<std::string> differences;
    for (const Capability& c : capabilities)
        if ((glIsEnabled(c.capability) == GL_TRUE) != c.on)
            differences.push_back(std::string(c.name) + (c.on ? " is off" : " is on"));
    for (const Setting& s : settings)
        if (const GLint value = currentValue(s.query); value != s.expected)
            differences.push_back(std::string(s.name) + " is " + enumName(value) + ", not " +
                                  enumName(s.expected));
    if (currentValue(GL_DEPTH_WRITEMASK) != GL_TRUE)
        differences.push_back("depth writes are off");
    for (const Stack& s : stacks)
        if (const GLint depth = currentValue(s.depthQuery); depth != 1)
            differences.push_back(std::string(s.name) + " is " + std::to_string(depth) + ", not 1");
    if (!textureMatrixIsIdentity())
        differences.push_back("the texture matrix is not the identity");
    if (const GLenum error = glGetError(); error != GL_NO_ERROR)
        differences.push_back("GL error " + std::to_string(error));
    return differences;
}
