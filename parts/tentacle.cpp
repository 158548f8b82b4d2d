// One tentacle: a chain of joints pulled by attractors and springs, kept at its link
// length by two constraint passes, and the tube of rings rebuilt around it every step.
#include <cmath>
#include <cstdlib>

#include "parts/parts.h"

Attractor attractors[kMaxAttractors];
int attractorCount = 0;

static constexpr float kPi = 3.14159265358979f;

static Vec3 Sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
static float Length(const Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
static void AddScaled(Vec3* to, const Vec3& v, float k) {
    to->x += v.x * k;
    to->y += v.y * k;
    to->z += v.z * k;
}

Tentacle::~Tentacle() {
    delete[] joints;
    delete node;
}

void Tentacle::Build(int n, const Vec3& foot, const Vec3& tip, int radius, int sides) {
    jointCount = n;
    this->sides = sides;
    this->radius = radius;
    joints = new TentacleJoint[n];
    const Vec3 span = Sub(tip, foot);
    restLength = Length(span);
    const float inv = 1.0f / static_cast<float>(n - 1);
    for (int i = 0; i < n; ++i) {
        TentacleJoint& joint = joints[i];
        joint.position = {foot.x + span.x * inv * i, foot.y + span.y * inv * i, foot.z + span.z * inv * i};
        joint.previous = joint.rest = joint.position;
        joint.force = {0, 0, 0};
        // A start speed along y from -5.00 to 4.99, different for every joint.
        joint.velocity = {0, static_cast<float>(std::rand() % 1000) / 100.0f - 5.0f, 0};
        joint.springStrength = 2.0f;
        joint.response = 0.5f;
    }

    vertexCount = n * sides;
    faceCount = (n - 1) * sides * 2;
    node = new SceneNode(vertexCount, faceCount);
    node->SetModeBits3To4(0);
    node->SetModeBits1To2(4);
    node->SetModeBit0(0);
    node->SetModeBits1To2(6);
    node->SetBackfaceCulling(true);
    node->SetColour(0x6666FF);

    for (int i = 0; i < n; ++i) joints[i].ringRadius = 2.0f * radius * (1.0f - i * inv);

    // Ring vertex (i, j) is vertices[i * sides + j]; each quad between rings i-1 and i is
    // two triangles.
    auto ring = [&](int i, int j) { return &node->vertices[i * sides + j]; };
    for (int i = 1; i < n; ++i) {
        for (int j = 0; j < sides; ++j) {
            NodeVertex* w = ring(i - 1, j);
            NodeVertex* x = ring(i - 1, (j + 1) % sides);
            NodeVertex* y = ring(i, j);
            NodeVertex* z = ring(i, (j + 1) % sides);
            const int f = (i - 1) * sides + j;
            node->faces[2 * f] = NodeFace{x, y, w, {0, 0, 0}, node->mode, node->colour, node->colour};
            node->faces[2 * f + 1] = NodeFace{z, y, x, {0, 0, 0}, node->mode, node->colour, node->colour};
        }
    }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < sides; ++j) {
            ring(i, j)->texU = static_cast<float>(i) * inv;
            ring(i, j)->texV = static_cast<float>(j) / static_cast<float>(sides - 1);
        }
    node->BuildAdjacency();
    UpdateMesh();  // positions defined before the first frame
}

void Tentacle::Simulate(float dt) {
    const int n = jointCount;
    const float link = restLength / static_cast<float>(n - 1);
    for (int i = 1; i < n; ++i) joints[i].previous = joints[i].position;

    for (int i = 1; i < n; ++i) {
        TentacleJoint& joint = joints[i];
        for (int a = 0; a < attractorCount; ++a) {
            Vec3 v = Sub(attractors[a].position, joint.position);
            float dist = Length(v);
            VecNormalize(&v);
            if (dist < 0.01f) dist = 0.01f;
            if (dist < attractors[a].reach)
                AddScaled(&joint.force, v,
                          (1 - dist / attractors[a].reach) * attractors[a].strength * joint.response);
        }
        // The spring pulls with constant size towards the rest place (none when there).
        Vec3 v = Sub(joint.rest, joint.position);
        VecNormalize(&v);
        AddScaled(&joint.force, v, joint.springStrength * joint.response);
    }

    for (int i = 1; i < n; ++i) {
        AddScaled(&joints[i].velocity, joints[i].force, dt);
        AddScaled(&joints[i].position, joints[i].velocity, 1.0f);
    }

    // Pull each joint onto the sphere of link length around its neighbour: from the tip
    // down (joint 0 untouched), then from the foot up so every link ends within bounds.
    auto shorten = [link](const Vec3& anchor, Vec3* moved) {
        const float dist = Length(Sub(anchor, *moved));
        if (dist > link + 0.01f) {
            const Vec3 q = Sub(*moved, anchor);
            *moved = anchor;
            AddScaled(moved, q, link / dist);
        }
    };
    for (int i = n - 1; i >= 2; --i) shorten(joints[i].position, &joints[i - 1].position);
    for (int i = 0; i <= n - 2; ++i) shorten(joints[i].position, &joints[i + 1].position);

    for (int i = 0; i < n; ++i) {
        joints[i].velocity = Sub(joints[i].position, joints[i].previous);
        joints[i].force = {0, 0, 0};
    }
}

// The ring frame: yaw about y and pitch about x turn the ring's plane (x-y) to be
// perpendicular to the chain direction s at the joint.
void Tentacle::UpdateMesh() {
    constexpr int kMaxSides = 64;
    float cosTheta[kMaxSides], sinTheta[kMaxSides];
    for (int j = 0; j < sides && j < kMaxSides; ++j) {
        const float theta = static_cast<float>(j) * 2 * kPi / static_cast<float>(sides);
        cosTheta[j] = std::cos(theta);
        sinTheta[j] = std::sin(theta);
    }
    const int n = jointCount;
    for (int i = 0; i < n; ++i) {
        const TentacleJoint& joint = joints[i];
        Vec3 s;
        if (i == 0)
            s = Sub(joints[1].position, joints[0].position);
        else if (i == n - 1)
            s = Sub(joints[i].position, joints[i - 1].position);
        else
            s = Sub(joints[i + 1].position, joints[i - 1].position);
        VecNormalize(&s);

        float yaw = (s.z != 0) ? std::atan(s.x / s.z) : kPi / 2;
        if (s.z >= 0) yaw += kPi;
        yaw = 2 * kPi - yaw;
        const float pitch = std::acos(std::fmin(1.0f, std::fmax(-1.0f, s.y))) - kPi / 2;

        Matrix34 m = kMatrix34Identity;
        MatRotateYLocal(-yaw, &m);
        MatRotateXLocal(-pitch, &m);
        for (int j = 0; j < sides && j < kMaxSides; ++j) {
            const Vec3 local{cosTheta[j] * joint.ringRadius, sinTheta[j] * joint.ringRadius, 0};
            Vec3* out = &node->vertices[i * sides + j].objectPos;
            MatTransformPoint(&m, &local, out);
            out->x += joint.position.x;
            out->y += joint.position.y;
            out->z += joint.position.z;
        }
    }
}
