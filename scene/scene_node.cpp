// Scene nodes: construction, attribute setters, normals and adjacency.
#include "scene/scene.h"

SceneNode::SceneNode(int vertexCount, int faceCount) {
    Reset();
    this->vertexCount = vertexCount;
    this->faceCount = faceCount;
    // Value-initialised: every field starts at zero. A builder that only places positions
    // still gives a defined first frame, whose environment coordinates come from the
    // normals before any update.
    vertices = new NodeVertex[vertexCount]();
    faces = new NodeFace[faceCount]();
}

SceneNode::~SceneNode() {
    for (int i = 0; i < vertexCount; ++i) delete[] vertices[i].adjacentNormals;
    delete[] vertices;
    delete[] faces;
}

void SceneNode::Reset() {
    faceCount = 0;
    vertexCount = 0;
    position = {0, 0, 0};
    rotation[0] = rotation[1] = rotation[2] = 0;
    scale[0] = scale[1] = scale[2] = 1;
    mode = 0;
    flags = FLAG_VISIBLE | FLAG_CULL;
}

void SceneNode::SetPosition(float x, float y, float z) { position = {x, y, z}; }

void SceneNode::SetRotation(float x, float y, float z) {
    rotation[0] = x;
    rotation[1] = y;
    rotation[2] = z;
}

void SceneNode::SetScale(float x, float y, float z) {
    scale[0] = x;
    scale[1] = y;
    scale[2] = z;
}

void SceneNode::SetVisible(bool visible) {
    flags = visible ? (flags | FLAG_VISIBLE) : (flags & ~FLAG_VISIBLE);
}

void SceneNode::SetBackfaceCulling(bool cull) {
    flags = cull ? (flags | FLAG_CULL) : (flags & ~FLAG_CULL);
}

void SceneNode::SetColour(unsigned value) {
    colour = value;
    for (int i = 0; i < faceCount; ++i) faces[i].colourA = faces[i].colourB = value;
}

// The mode word has groups bit 0, bits 1-2 and bits 3-4. A setter keeps the other two
// groups (the keep mask), ORs its value in unmasked, and so clears bits 5 and up.
static void SetModeBits(SceneNode* node, unsigned keep, unsigned value) {
    node->mode = (node->mode & keep) | value;
    for (int i = 0; i < node->faceCount; ++i) node->faces[i].mode = (node->faces[i].mode & keep) | value;
}

void SceneNode::SetModeBit0(unsigned value) { SetModeBits(this, 0x1E, value); }
void SceneNode::SetModeBits1To2(unsigned value) { SetModeBits(this, 0x19, value); }
void SceneNode::SetModeBits3To4(unsigned value) { SetModeBits(this, 0x07, value); }

void NodeFace::ComputeFaceNormal() {
    Vec3 e1{b->objectPos.x - a->objectPos.x, b->objectPos.y - a->objectPos.y, b->objectPos.z - a->objectPos.z};
    Vec3 e2{c->objectPos.x - a->objectPos.x, c->objectPos.y - a->objectPos.y, c->objectPos.z - a->objectPos.z};
    VecCross(&e1, &e2, &normal);
    VecNormalize(&normal);
}

static bool UsesVertex(const NodeFace& face, const NodeVertex* vertex) {
    return face.a == vertex || face.b == vertex || face.c == vertex;
}

void SceneNode::BuildAdjacency() {
    for (int v = 0; v < vertexCount; ++v) {
        NodeVertex* vertex = &vertices[v];
        vertex->adjacentCount = 0;
        for (int f = 0; f < faceCount; ++f) vertex->adjacentCount += UsesVertex(faces[f], vertex);
        delete[] vertex->adjacentNormals;
        vertex->adjacentNormals = nullptr;
        if (vertex->adjacentCount == 0) continue;
        vertex->adjacentNormals = new Vec3*[vertex->adjacentCount];
        int n = 0;
        for (int f = 0; f < faceCount; ++f)
            if (UsesVertex(faces[f], vertex)) vertex->adjacentNormals[n++] = &faces[f].normal;
    }
    flags |= FLAG_ADJACENCY;
}

void SceneNode::ComputeNormals() {
    for (int f = 0; f < faceCount; ++f) faces[f].ComputeFaceNormal();
    for (int v = 0; v < vertexCount; ++v) {
        NodeVertex* vertex = &vertices[v];
        vertex->normal = {0, 0, 0};
        bool found = false;
        for (int f = 0; f < faceCount; ++f) {
            if (!UsesVertex(faces[f], vertex)) continue;
            vertex->normal.x += faces[f].normal.x;
            vertex->normal.y += faces[f].normal.y;
            vertex->normal.z += faces[f].normal.z;
            found = true;
        }
        if (found) VecNormalize(&vertex->normal);
    }
}
