// The show's shared state: the graphics objects every part draws through, the fade level
// of the final scene, and the textures and meshes the sequence loads for the parts.
#include "shell/show_state.h"

float fadeLevel = 1.0f;
int runningPart = -1;

GraphicsSystem* graphicsSystem = nullptr;
Display* display = nullptr;
Renderer* renderer = nullptr;

TextureId envmapTexture = 0;
TextureId stripeTexture = 0;
TextureId striberTexture = 0;
TextureId fisseTexture = 0;
TextureId osTexture = 0;
TextureId plettetTexture = 0;
TextureId circlesTexture = 0;
TextureId pictureTextures[4] = {0, 0, 0, 0};
TextureId toypushTexture = 0;
TextureId greetsTexture = 0;
TextureId txtTexture = 0;
std::unique_ptr<Image> sharedImages[kSharedImageCount];

Mesh spiralMesh;
Mesh ballMesh;
Mesh coneMesh;
Mesh boxMesh;
Mesh dudeMesh;
Mesh brillerMesh;
Mesh toypushMesh;
