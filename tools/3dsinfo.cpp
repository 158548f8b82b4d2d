// 3dsinfo: lists each named object of a 3DS file with its vertex, face and mapping counts.
#include <cstdio>
#include <string>
#include <vector>

#include "import/import.h"

// Usage: 3dsinfo FILE. Says why on standard error, with status 1, when the file cannot
// be opened or is refused. Otherwise prints a header line, then one tab-separated line per object:
// name, vertices, faces, mapping entries (0 when the object has no mapping list).
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: 3dsinfo FILE\n");
        return 2;
    }
    std::vector<ObjectSummary> objects;
    std::string error;
    if (!ListObjects(argv[1], &objects, &error)) {
        std::fprintf(stderr, "3dsinfo: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::printf("object\tvertices\tfaces\tmapping\n");
    for (const ObjectSummary& o : objects)
        std::printf("%s\t%d\t%d\t%d\n", o.name, o.vertexCount, o.faceCount, o.mappingCount);
    return 0;
}
