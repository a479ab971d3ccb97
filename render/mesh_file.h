// Mesh files (".mbm"): text groups "Keyword { ... }" holding meshes of chunks
// and a tree of bones. A leading "RandomID" group names the binary cache
// that later loads read instead of the text while the two identifiers agree.
#ifndef RENDER_MESH_FILE_H
#define RENDER_MESH_FILE_H

#include <istream>
#include <string>

#include "core/matrix.h"
#include "core/vector.h"
#include "render/mesh_cache.h"

// Whitespace-separated tokens with one token of look-ahead. Braces are
// tokens only when written apart, as the files are authored.
class MeshTokenReader {
public:
    explicit MeshTokenReader(std::istream& in);

    // The held token if there is one, else the next one from the stream;
    // an empty read sets the end flag.
    std::string NextToken();
    std::string ReadToken() { return NextToken(); }
    int ReadInt();
    float ReadFloat();
    Vector3 ReadVector3();
    Matrix3 ReadMatrix3();   // row after row
    bool SkipToken();
    // Skips up to the "}" that balances the first "{". A "}" first, or the
    // end of the input before the balance, sets the error flag.
    bool SkipBlock();
    // Skips the rest of a value up to and including the next brace.
    void SkipToBrace();
    // The next token, held for the next read.
    const std::string& PeekToken();
    // Reads and holds the next token; true when it is "{" or "}".
    bool PeekBrace();
    // Never true while a token is held.
    bool AtEnd() const;

    bool error;

private:
    std::istream& in;
    std::string held;
    bool ended;
};

// Parses a mesh file's groups after any leading "RandomID" into a linked
// bone tree; textures are taken relative to folder. False (with nothing
// kept) on a malformed file or a link failure.
bool ParseMeshGroups(MeshTokenReader& reader, const std::string& folder, bool weld,
                     MeshLoadResult& result);

// Loads a model file through its cache. Buffers parsed from the text are
// readable; those read from the cache are write-only unless readable is set.
// weld merges identical vertices after a parse.
bool LoadMeshFile(const std::string& path, bool readable, MeshLoadResult& result, bool weld);

#endif
