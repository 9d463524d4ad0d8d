// The one definition of stb_image in the host. Only the formats the host offers are compiled
// in, so that no other decoder of stb's (PSD, HDR, PIC) claims a file.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_ONLY_GIF
#define STBI_ONLY_PNM
#include <stb_image.h>
