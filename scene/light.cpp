// Lights of a scene: colour and intensity bookkeeping and the point light's contribution.
#include <cmath>

#include "scene/scene.h"

Light::Light() {
    position = {0, 0, 0};
    colour[0] = colour[1] = colour[2] = 1;
    intensity = 1;
    effective[0] = effective[1] = effective[2] = 1;
}

void Light::SetColour(float r, float g, float b) {
    colour[0] = r;
    colour[1] = g;
    colour[2] = b;
    for (int i = 0; i < 3; ++i) effective[i] = colour[i] * intensity;
}

void Light::SetIntensity(float value) {
    intensity = value;
    for (int i = 0; i < 3; ++i) effective[i] = colour[i] * intensity;
}

void Light::SetRange(int enabled, float start, float end) {
    rangeEnabled = enabled;
    rangeStart = start;
    rangeEnd = end;
}

void Light::Accumulate(float* r, float* g, float* b, const Vec3* point, const Vec3* normal) {
    if (next) next->Accumulate(r, g, b, point, normal);
}

PointLight::PointLight() { SetRange(0, 0, 0); }

// Lambert term from the light towards the point, k = cos of the angle between the light
// direction d = point - viewPos and the normal, faded linearly to 0 between rangeStart and
// rangeEnd when the range is enabled.
void PointLight::Accumulate(float* r, float* g, float* b, const Vec3* point, const Vec3* normal) {
    if (next) next->Accumulate(r, g, b, point, normal);
    const Vec3 d{point->x - viewPos.x, point->y - viewPos.y, point->z - viewPos.z};
    float dist = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (dist < 0.01f) dist = 0.1f;
    float k = (d.x * normal->x + d.y * normal->y + d.z * normal->z) / dist;
    if (k < 0) k = 0;
    if (rangeEnabled && dist >= rangeStart) {
        if (dist > rangeEnd)
            k = 0;
        else
            k = k * (1 - (dist - rangeStart) / (rangeEnd - rangeStart));
    }
    *r += k * effective[0];
    *g += k * effective[1];
    *b += k * effective[2];
}
