#pragma once
// Builds a data file in the stored layout (root "quillmar", "metaData", then category, client,
// project and projectItem records, one element per line) for benchmarks. Deterministic for a
// given shape, so runs compare like with like.
#include <string>

class DataFileGenerator {
public:
    struct Shape {
        int entries = 50000;
        int categories = 20;
        int clients = 200;
        int projectsPerClient = 5;
        unsigned seed = 1;
    };

    // The UTF-8 text of the whole file (about 35 MB with the default shape).
    static std::string Generate(const Shape& shape);
    static std::string Generate() { return Generate(Shape()); }
    // Writes Generate(shape) to `path`; false when it cannot be written.
    static bool WriteFile(const std::string& path, const Shape& shape);

    // The ID of the n-th entry (0-based) in a file of this shape.
    static int EntryId(const Shape& shape, int n);
};
