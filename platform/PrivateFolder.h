#pragma once

#include <string>

// A folder of the program's own, readable by its owner only, for files that
// live for one command: made in the user's runtime folder (or the temporary
// folder where there is none) and removed with the object when it is empty
// by then. One that cannot be made raises EFCreateError naming it.
class TPrivateFolder {
public:
    TPrivateFolder();
    ~TPrivateFolder();
    TPrivateFolder(const TPrivateFolder&) = delete;
    TPrivateFolder& operator=(const TPrivateFolder&) = delete;

    // The folder's path, ending in "/".
    const std::string& Path() const { return path_; }

    // Where new folders are made; tests may point it elsewhere ("" resets).
    static void SetParentForTests(const std::string& parent);

private:
    std::string path_;
};
