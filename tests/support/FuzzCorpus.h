// The seed corpus of a fuzz target (fuzz/corpus/<target>/), for the tests that replay every
// input through the same checks the fuzz target makes.
#pragma once

#include <string>
#include <vector>

struct FuzzInput {
    std::string name; // the file name
    std::string bytes;
};

// Every input of the target's corpus in the source folder, in name order; empty when the
// folder is missing.
std::vector<FuzzInput> FuzzCorpus(const std::string& target);
