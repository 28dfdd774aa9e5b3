#pragma once

#include <string>

class TTempDir;

// Saves a small project in dir: group 1 "Class" with Anna, Bob, Cleo and Dan (ids 1 to 4) and
// investigation 3 "Friends" on it (negatives allowed, at most 2 choices), with a few choices when
// asked. Answers the file's path.
std::string SaveClassProject(const TTempDir& dir, const std::string& name, bool withChoices);
