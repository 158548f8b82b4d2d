// WebGL renderer: the fixed-function behaviour of the OpenGL renderer rebuilt on OpenGL
// ES 2. Triangles are batched into one vertex buffer and drawn with a shader that divides
// unit 0's coordinates by q (perspective-correct mapping) and multiplies the clamped
// vertex colour by each enabled unit that has an image, as GL_MODULATE does.
#include "gfx/webgl_renderer.h"

#include <GLES2/gl2.h>

#include <cstddef>
#include <cstring>
#include <new>
#include <string>

#include "gfx/blend_modes.h"
#include "gfx/gl_window_state.h"
#include "gfx/texture_modes.h"
#include "platform/interface/win32.h"

namespace {

static_assert(FactorsAre(GL_ZERO, GL_ONE, GL_SRC_COLOR, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA),
              "the blend table's factors are this renderer's enums");

// Stand-in for a missing image: one white texel, opaque in the loader's inverted-alpha
// convention (alpha byte 0), so a texture made from a missing file draws its vertex colour.
const uint8_t kWhiteTexel[4] = {255, 255, 255, 0};

const char kVertexShader[] = R"(
attribute vec3 position;
attribute vec4 colour;
attribute vec3 coord0;
attribute vec2 coord1;
varying vec4 vColour;
varying vec3 vCoord0;
varying vec2 vCoord1;
void main() {
    vColour = clamp(colour, 0.0, 1.0);
    vCoord0 = coord0;
    vCoord1 = coord1;
    gl_Position = vec4(position, 1.0);
}
)";

const char kFragmentShader[] = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D texture0;
uniform sampler2D texture1;
uniform bool sampling0;
uniform bool sampling1;
varying vec4 vColour;
varying vec3 vCoord0;
varying vec2 vCoord1;
void main() {
    vec4 colour = vColour;
    if (sampling0) colour *= texture2DProj(texture0, vCoord0);
    if (sampling1) colour *= texture2D(texture1, vCoord1);
    gl_FragColor = colour;
}
)";

// Compiles one shader; 0 with the log in error when it does not compile.
GLuint Compile(GLenum type, const char* source, std::string* error) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok) return shader;
    char log[1024] = "";
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    *error = std::string(type == GL_VERTEX_SHADER ? "vertex" : "fragment") + " shader: " + log;
    glDeleteShader(shader);
    return 0;
}

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// 8-bit channel to n bits, rounded.
unsigned Narrow(unsigned value, unsigned bits) {
    const unsigned top = (1u << bits) - 1;
    return (value * top + 127) / 255;
}

}  // namespace

WebGlRenderer::WebGlRenderer(unsigned program, int positionLoc, int colourLoc, int coord0Loc, int coord1Loc)
    : program(program) {
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "texture0"), 0);
    glUniform1i(glGetUniformLocation(program, "texture1"), 1);
    samplingLoc[0] = glGetUniformLocation(program, "sampling0");
    samplingLoc[1] = glGetUniformLocation(program, "sampling1");

    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof batch, nullptr, GL_DYNAMIC_DRAW);
    const auto attribute = [](int location, int size, size_t offset) {
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, size, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<const void*>(offset));
    };
    attribute(positionLoc, 3, offsetof(Vertex, x));
    attribute(colourLoc, 4, offsetof(Vertex, red));
    attribute(coord0Loc, 3, offsetof(Vertex, s0));
    attribute(coord1Loc, 2, offsetof(Vertex, s1));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // uploads come as tight rows

    // What the display leaves set: texturing on unit 0, depth test on, no blending.
    wanted = DrawState{true, false, GL_ONE, GL_ZERO, {true, false}, {0, 0}};
    batched = wanted;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

WebGlRenderer::~WebGlRenderer() {
    for (unsigned name : glNames)
        if (name) glDeleteTextures(1, &name);
    glDeleteBuffers(1, &buffer);
    glDeleteProgram(program);
}

unsigned WebGlRenderer::GlName(int name) {
    if (name <= 0) return 0;
    if (size_t(name) >= glNames.size()) {
        glNames.resize(size_t(name) + 1, 0);
        complete.resize(size_t(name) + 1, 0);
    }
    // Binding an unused name makes an empty texture object, as in OpenGL.
    if (glNames[name] == 0) glGenTextures(1, &glNames[name]);
    return glNames[name];
}

bool WebGlRenderer::Samples(int unit, const DrawState& state) const {
    const int name = state.bound[unit];
    // A unit whose texture has no image is as if disabled (fixed-function rule).
    return state.texturing[unit] && name > 0 && size_t(name) < complete.size() && complete[name];
}

void WebGlRenderer::Apply(const DrawState& state) {
    if (!appliedValid || state.depthTest != applied.depthTest) {
        if (state.depthTest) glEnable(GL_DEPTH_TEST);
        else glDisable(GL_DEPTH_TEST);
    }
    if (!appliedValid || state.blend != applied.blend) {
        if (state.blend) glEnable(GL_BLEND);
        else glDisable(GL_BLEND);
    }
    if (!appliedValid || state.blendSource != applied.blendSource ||
        state.blendDestination != applied.blendDestination)
        glBlendFunc(state.blendSource, state.blendDestination);
    for (int unit = 0; unit < 2; ++unit) {
        if (!appliedValid || state.bound[unit] != applied.bound[unit]) {
            glActiveTexture(GL_TEXTURE0 + unit);
            glBindTexture(GL_TEXTURE_2D, GlName(state.bound[unit]));
        }
        // Whether the unit has an image can change without the state changing (an
        // upload), so the switch is set every batch.
        glUniform1i(samplingLoc[unit], Samples(unit, state) ? 1 : 0);
    }
    applied = state;
    appliedValid = true;
}

void WebGlRenderer::Flush() {
    if (batchCount == 0) return;
    Apply(batched);
    glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(batchCount * sizeof(Vertex)), batch);
    glDrawArrays(GL_TRIANGLES, 0, batchCount);
    batchCount = 0;
}

// Draws the batch first when its state differs from the wanted one or the vertices
// would not fit; the batch then takes the wanted state.
void WebGlRenderer::Reserve(int vertices) {
    if (batchCount > 0 && (!(wanted == batched) || batchCount + vertices > kBatchVertices)) Flush();
    batched = wanted;
}

// Unit 0 gets (s * q, t * q, q) with q = 1/z, so that the division by q in the shader
// makes the mapping perspective-correct; the depth is q (nearer is larger). Unit 1 keeps
// the coordinates last given to it, as the immediate-mode renderer's current ones.
void WebGlRenderer::Emit(const ScreenVertex* v, float alpha) {
    const float q = 1.0f / v->z;
    batch[batchCount++] = Vertex{v->screenX, v->screenY, q,      v->red,   v->green, v->blue, alpha,
                                 v->s0 * q,  v->t0 * q,  q,      currentS1, currentT1};
}

void WebGlRenderer::DrawTriangle(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) {
    Reserve(3);
    Emit(a, 1.0f);
    Emit(b, 1.0f);
    Emit(c, 1.0f);
}

// A quad is drawn as the triangles (a, b, c) and (a, c, d), as OpenGL drivers split it.
void WebGlRenderer::DrawQuad(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c,
                             const ScreenVertex* d) {
    Reserve(6);
    Emit(a, a->alpha);
    Emit(b, b->alpha);
    Emit(c, c->alpha);
    Emit(a, a->alpha);
    Emit(c, c->alpha);
    Emit(d, d->alpha);
}

// Both units take their coordinates as given (q = 1); unit 1 keeps the last corner's.
void WebGlRenderer::DrawTriangleMultitex(const ScreenVertex* a, const ScreenVertex* b,
                                         const ScreenVertex* c) {
    Reserve(3);
    for (const ScreenVertex* v : {a, b, c}) {
        batch[batchCount++] = Vertex{v->screenX, v->screenY, 1.0f / v->z, v->red, v->green, v->blue, 1.0f,
                                     v->s0,      v->t0,      1.0f,        v->s1,  v->t1};
    }
    currentS1 = c->s1;
    currentT1 = c->t1;
}

void WebGlRenderer::ReservedTriangle(const ScreenVertex*, const ScreenVertex*, const ScreenVertex*) {}

// Flat quads mixed by their alpha, under a state of their own, drawn at once (the overlay
// comes after the frame's present); the show's wanted state is kept for its next draw.
void WebGlRenderer::DrawOverlay(const ScreenVertex* corners, int quadCount) {
    const DrawState shows = wanted;
    wanted = DrawState{false, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, {false, false}, {shows.bound[0], shows.bound[1]}};
    for (int quad = 0; quad < quadCount; ++quad) {
        const ScreenVertex* q = corners + 4 * quad;
        Reserve(6);
        for (int corner : {0, 1, 2, 0, 2, 3}) {
            const ScreenVertex& v = q[corner];
            batch[batchCount++] =
                Vertex{v.screenX, v.screenY, 1.0f, v.red, v.green, v.blue, v.alpha, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
        }
    }
    Flush();
    wanted = shows;
}

void WebGlRenderer::KeepDrawingState() {
    keptWanted = wanted;
    keptActiveUnit = activeUnit;
    keptS1 = currentS1;
    keptT1 = currentT1;
}

void WebGlRenderer::RestoreDrawingState() {
    Flush();
    wanted = keptWanted;
    activeUnit = keptActiveUnit;
    currentS1 = keptS1;
    currentT1 = keptT1;
}

void WebGlRenderer::SetState(int state, int value) {
    if (state == kStateDepthTest) {
        wanted.depthTest = value == kOn;
    } else if (state == kStateTextureUnits) {
        if (value == kUnit0Only) {
            wanted.texturing[1] = false;
            wanted.texturing[0] = true;
            activeUnit = 0;
        } else if (value == kBothUnits) {
            wanted.texturing[0] = true;
            wanted.texturing[1] = true;
            activeUnit = 1;
        }
    }
}

// Texturing is switched on the unit selected last, as glEnable(GL_TEXTURE_2D) does. The
// texture matrix a mode resets is never changed here: it stays the identity.
void WebGlRenderer::SetBlendMode(int code) {
    const BlendMode* mode = FindBlendMode(code);
    if (!mode) return;
    if (mode->selectUnit0) activeUnit = 0;
    if (mode->depthTestOff) wanted.depthTest = false;
    wanted.texturing[activeUnit] = mode->textured;
    wanted.blend = mode->blend;
    if (mode->blend) {
        wanted.blendSource = unsigned(mode->source);
        wanted.blendDestination = unsigned(mode->frame);
    }
}

void WebGlRenderer::BindTexture0(TextureId name) {
    activeUnit = 0;
    wanted.bound[0] = name;
}

void WebGlRenderer::BindTexture1(TextureId name) {
    activeUnit = 1;
    wanted.bound[1] = name;
}

// The current colour it sets is replaced by every corner's own before anything is drawn.
void WebGlRenderer::SetIntensity(int) {}

void WebGlRenderer::Clear() {
    Flush();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void WebGlRenderer::Present() {
    Flush();
    SwapBuffers(glWindowState.deviceContext);
}

TextureId WebGlRenderer::CreateTexture(const Image* image, int mode) {
    const int name = ++textureCounter;
    Upload(name, image, mode);
    return name;
}

void WebGlRenderer::UpdateTexture(int name, const Image* image, int mode) { Upload(name, image, mode); }

// Binds `name` on the selected unit and uploads the image as its texture mode says
// (gfx/texture_modes.h), packed to the mode's precision (5 or 4 bits a channel in two
// bytes). Modes the table lacks upload nothing. A null image uploads one white texel.
// Rows are read at the image's pitch and repacked tight.
void WebGlRenderer::Upload(int name, const Image* image, int modeCode) {
    const TextureMode* mode = FindTextureMode(modeCode);
    if (!mode) return;
    const GLenum format = mode->imageBytes == 1 ? GL_LUMINANCE : GL_RGBA;
    const GLenum type = mode->kept == TexelFormat::Rgb5    ? GL_UNSIGNED_SHORT_5_5_5_1
                        : mode->kept == TexelFormat::Rgba4 ? GL_UNSIGNED_SHORT_4_4_4_4
                                                           : GL_UNSIGNED_BYTE;
    const int sourceBytes = mode->imageBytes;  // bytes per pixel read from the image
    const int targetBytes = mode->texelBytes;  // bytes per pixel uploaded
    const bool rgb5 = mode->kept == TexelFormat::Rgb5;  // else two bytes hold four 4-bit channels
    Flush();
    wanted.bound[activeUnit] = name;
    const GLuint texture = GlName(name);
    glActiveTexture(GL_TEXTURE0 + activeUnit);
    glBindTexture(GL_TEXTURE_2D, texture);
    applied.bound[activeUnit] = name;

    const int width = image ? image->width : 1;
    const int height = image ? image->height : 1;
    const int pitch = image ? image->pitch : 4;
    const uint8_t* pixels = image ? image->Pixels() : kWhiteTexel;
    scratch.resize(size_t(width) * height * targetBytes);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = pixels + size_t(y) * pitch;
        uint8_t* out = scratch.data() + size_t(y) * width * targetBytes;
        if (sourceBytes == targetBytes) {
            std::memcpy(out, in, size_t(width) * targetBytes);
            continue;
        }
        for (int x = 0; x < width; ++x, in += 4, out += 2) {
            const uint16_t packed =
                rgb5 ? uint16_t(Narrow(in[0], 5) << 11 | Narrow(in[1], 5) << 6 | Narrow(in[2], 5) << 1 | 1)
                     : uint16_t(Narrow(in[0], 4) << 12 | Narrow(in[1], 4) << 8 | Narrow(in[2], 4) << 4 |
                                Narrow(in[3], 4));
            std::memcpy(out, &packed, 2);
        }
    }
    // WebGL 1 repeats only power-of-two textures; others are clamped so that they still draw.
    const GLint wrap = IsPowerOfTwo(width) && IsPowerOfTwo(height) ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), width, height, 0, format, type, scratch.data());
    complete[name] = 1;
}

void WebGlRenderer::Reserved1(int) {}
void WebGlRenderer::Reserved2(int) {}

Renderer* CreateWebGlRenderer() {
    std::string error;
    const GLuint vertex = Compile(GL_VERTEX_SHADER, kVertexShader, &error);
    const GLuint fragment = vertex ? Compile(GL_FRAGMENT_SHADER, kFragmentShader, &error) : 0;
    GLuint program = 0;
    if (fragment) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint ok = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (!ok) {
            char log[1024] = "";
            glGetProgramInfoLog(program, sizeof log, nullptr, log);
            error = std::string("shader program: ") + log;
            glDeleteProgram(program);
            program = 0;
        }
    }
    if (vertex) glDeleteShader(vertex);
    if (fragment) glDeleteShader(fragment);
    if (program) {
        Renderer* renderer = new (std::nothrow) WebGlRenderer(
            program, glGetAttribLocation(program, "position"), glGetAttribLocation(program, "colour"),
            glGetAttribLocation(program, "coord0"), glGetAttribLocation(program, "coord1"));
        if (renderer) return renderer;
        glDeleteProgram(program);
        error = "out of memory";
    }
    ChangeDisplaySettingsA(nullptr, 0);
    ReportDisplayError(error.c_str(), "FATAL ERROR");
    return nullptr;
}
