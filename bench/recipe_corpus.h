#pragma once
// Made-up recipes of realistic length for the benchmark databases: names of 15 to 40
// characters, authors of about 15, ingredients of 300 to 600 characters over several CR LF
// lines, instructions of 800 to 2000. The same seed always yields the same recipes.

#include <cstdint>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

namespace bench {

// One recipe as the program stores it: each field trimmed and followed by one space (UTF-8).
struct RecipeText {
    std::string name, author, ingredients, instructions;
};

class RecipeCorpus {
public:
    explicit RecipeCorpus(std::uint32_t seed);

    // A recipe whose name differs from every name this corpus gave since the last
    // startCategory(), so lookups by name find the row they were meant to find.
    RecipeText next();
    void startCategory() { taken_.clear(); }

    // count distinct category names such as "Alpine Breakfasts"; count is at most 100.
    static std::vector<std::string> categoryNames(int count);

private:
    std::string name();
    std::string author();
    std::string ingredients();
    std::string instructions();
    int uniform(int low, int high);  // both ends included
    template <typename List>
    const char *pick(const List &list);

    std::mt19937 random_;
    std::unordered_set<std::string> taken_;
};

}  // namespace bench
