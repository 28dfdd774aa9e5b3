#pragma once

#include <filesystem>
#include <string>

// A fresh temporary folder, removed with everything in it on destruction.
class TTempDir final {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Whole-file helpers for tests.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Installs the catalogue from the built language.dat (beside the executables) for the process,
// and points ExecutableDir() at that folder. Safe to call more than once.
void InstallBuiltCatalogue();
