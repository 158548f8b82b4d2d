// Scene camera: field of view, projection scale, clip planes and the view matrix.
#include <cmath>

#include "scene/scene.h"

float projectionScale = 0;
float clipPlanes[kNumClipPlanes][4];

static constexpr double kPi = 3.14159265358979323846;

Camera::Camera() {
    viewMatrix = kMatrix34Identity;
    SetFov(60);
}

void Camera::SetFov(float degrees) {
    fov = degrees;
    projectionScale = static_cast<float>(100.0 / std::tan(degrees * kPi / 360.0));
}

// Four side planes through the eye, each tilted by half the field of view (made 0.001
// narrower by the added term), and a near plane that keeps depth >= -0.0001. Normals point
// inwards; w is left as built after the normal is made unit length.
void Camera::UpdateClipPlanes() const {
    const float s = static_cast<float>(std::sin(fov * kPi / 360.0));
    const float c = static_cast<float>(std::cos(fov * kPi / 360.0) + 0.001);
    const float planes[kNumClipPlanes][4] = {
        {c, 0, s, 0}, {-c, 0, s, 0}, {0, c, s, 0}, {0, -c, s, 0}, {0, 0, 1, 0.0001f}};
    for (int i = 0; i < kNumClipPlanes; ++i) {
        Vec3 n{planes[i][0], planes[i][1], planes[i][2]};
        VecNormalize(&n);
        clipPlanes[i][0] = n.x;
        clipPlanes[i][1] = n.y;
        clipPlanes[i][2] = n.z;
        clipPlanes[i][3] = planes[i][3];
    }
}

// Yaw turns the eye-to-target direction into the y-z plane, pitch then onto +z.
void Camera::UpdateView() {
    direction = {position.x - target.x, position.y - target.y, position.z - target.z};
    const float dx = direction.x, dy = direction.y, dz = direction.z;
    const float yaw = -std::atan2(-dx, -dz);
    const float pitch = std::atan2(-dy, std::sqrt(dx * dx + dz * dz));
    viewMatrix = kMatrix34Identity;
    MatTranslate(-position.x, -position.y, -position.z, &viewMatrix);
    MatRotateY(yaw, &viewMatrix);
    MatRotateX(pitch, &viewMatrix);
    MatRotateZ(roll, &viewMatrix);
}
