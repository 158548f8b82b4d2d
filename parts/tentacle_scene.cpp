// The final scene: sixteen tentacles on a 4x4 grid, two wandering attractors, a swinging
// camera above the field; the floor scene is built and kept in step but not drawn.
#include <cmath>

#include "parts/parts.h"
#include "show/show_state.h"

float lastSceneTime = -1.0f;

static TentacleScene tentacleScene;

DemoEffect& FinalScene() { return tentacleScene; }

void DemoEffect::SetDisplayMode(int newWidth, int newHeight, int newBitsPerPixel) {
    width = newWidth;
    height = newHeight;
    bitsPerPixel = newBitsPerPixel;
}

static constexpr float kPi = 3.14159265358979f;

static PointLight* NewLight(float x, float y, float z, float r, float g, float b, float intensity) {
    PointLight* light = new PointLight();
    light->SetPosition(x, y, z);
    light->SetColour(r, g, b);
    light->SetIntensity(intensity);
    return light;
}

// Frees what a previous Init built and empties both scenes, so that a show started again in
// the same process draws one field of tentacles, not two.
void TentacleScene::Release() {
    for (int i = 0; i < tentacleCount; ++i) delete tentacles[i];  // each owns its node
    delete[] tentacles;
    tentacles = nullptr;
    tentacleCount = 0;
    for (Scene* scene : {&objects, &floor}) {
        for (Light* light = scene->lights; light;) {
            Light* next = light->next;
            delete light;
            light = next;
        }
        scene->lights = nullptr;
        scene->camera = nullptr;
        scene->renderCount = 0;
    }
    for (SceneNode* node = floor.nodes; node;) {
        SceneNode* next = node->next;
        delete node;
        node = next;
    }
    objects.nodes = floor.nodes = nullptr;
    objects.nodeCount = floor.nodeCount = 0;
    delete floorCamera;
    delete camera;
    floorCamera = camera = nullptr;
    for (PointLight*& light : lights) light = nullptr;
}

int TentacleScene::Init() {
    Release();
    lastSceneTime = -1.0f;
    // Floor: a square of side 2s in the plane z = 0.
    const float s = 506.6f;
    SceneNode* ground = new SceneNode(4, 2);
    ground->SetModeBits3To4(0);
    ground->SetModeBits1To2(2);
    ground->SetBackfaceCulling(false);
    ground->SetScale(1, 1, 1);
    ground->SetPosition(0, 0, 0);
    ground->SetColour(495);
    const Vec3 corners[4] = {{-s, -s, 0}, {s, -s, 0}, {-s, s, 0}, {s, s, 0}};
    for (int i = 0; i < 4; ++i) ground->vertices[i].objectPos = corners[i];
    NodeVertex* v = ground->vertices;
    ground->faces[0].a = &v[2];
    ground->faces[0].b = &v[1];
    ground->faces[0].c = &v[0];
    ground->faces[1].a = &v[3];
    ground->faces[1].b = &v[1];
    ground->faces[1].c = &v[2];
    ground->ComputeNormals();
    ground->SetColour(5310);
    for (int i = 0; i < 4; ++i) {
        v[i].auxA = static_cast<int>(corners[i].x * 11776 + 30720);
        v[i].auxB = static_cast<int>(corners[i].y * 11776 + 30720);
        v[i].texU = corners[i].y / 100;
        v[i].texV = corners[i].x / 100;
    }
    floor.AddNode(ground);
    floorCamera = new Camera();
    floor.SetCamera(floorCamera);

    tentacles = new Tentacle*[kMaxTentacles];
    tentacleCount = 0;
    for (int j = -2; j <= 1; ++j)
        for (int k = -2; k <= 1; ++k) {
            const Vec3 foot{140.0f * k + 70, 140.0f * j + 70, 0};
            const Vec3 tip{foot.x, foot.y, 120};
            Tentacle* tentacle = new Tentacle();
            tentacle->Build(10, foot, tip, 8, 6);
            tentacles[tentacleCount++] = tentacle;
            objects.AddNode(tentacle->node);
        }

    lights[0] = NewLight(-2000, 0, 0, 3.8f, 3.8f, 0.8f, 100);
    lights[1] = NewLight(2000, 2000, 0, 2.8f, 2.8f, 1.8f, 100);
    lights[2] = NewLight(-3000, 2000, 0, 4.8f, 4.8f, 4.8f, 1.0f);
    for (PointLight* light : lights) objects.AddLight(light);
    lights[2] = NewLight(-3000, 2000, 0, 4.8f, 4.8f, 4.8f, 1.0f);
    floor.AddLight(lights[2]);

    camera = new Camera();
    objects.SetCamera(camera);
    attractorCount = 2;
    return 1;
}

void TentacleScene::Frame(int, float time) {
    floor.SetSize(width, height);
    objects.SetSize(width, height);

    const float d = 80 * time;
    if (lastSceneTime == -1.0f) lastSceneTime = d;  // the first frame steps by 0

    camera->SetPosition(200 * std::cos(0.1f * d), 50 * std::sin(0.7f * 0.2f * d) + 200, 320);
    camera->SetTarget(0, 0, -30);
    camera->SetRoll(std::sin(0.07f * d) * kPi / 5);

    attractors[0] = {{100 * std::cos(0.72f * d), 100 * std::sin(0.7f * 0.52f * d), 120}, 5.0f, 1470};
    attractors[1] = {{50 * std::cos(1.72f * d), 50 * std::sin(0.2f * 0.52f * d), 120}, 5.0f, 1070};

    for (int i = 0; i < tentacleCount; ++i) tentacles[i]->Step(d - lastSceneTime);
    lastSceneTime = d;

    Camera* floorCamera = floor.camera;
    const Vec3 position = camera->GetPosition();
    const Vec3 target = camera->GetTarget();
    floorCamera->SetPosition(position.x, position.y, position.z);
    floorCamera->SetTarget(target.x, target.y, target.z);
    floorCamera->SetRoll(camera->roll);

    objects.Render(renderer, fadeLevel);
}
