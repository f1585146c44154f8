#include "bench/scaling_bench.h"

#include "bench/register.h"
#include "core/collection.h"
#include "core/recipe_scaling.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <exception>

namespace bench {

namespace {

const GeneratedDatabase *large = nullptr;

void scaleEveryRecipe(benchmark::State &state)
{
    try {
        // Opened once, as the raw read's connection is: the key derivation is left out of both.
        recipes::Collection collection(large->filePath(), recipes::kBuiltInPassword);
        const QStringList categories = collection.categories();
        std::int64_t characters = 0;
        std::int64_t read = 0;
        for (auto _ : state) {
            characters = 0;
            read = 0;
            for (const QString &category : categories)
                collection.readAll(category, [&](std::int64_t, const recipes::Recipe &stored) {
                    characters += recipes::scaledIngredients(stored.ingredients, 2).size();
                    ++read;
                });
            benchmark::DoNotOptimize(characters);
        }
        state.counters["recipes"] = double(read);
        state.counters["characters"] = double(characters);
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

}  // namespace

void registerScalingBenchmarks(const GeneratedDatabase &largeDb)
{
    large = &largeDb;
    add("cooking/scale_ingredients/large", scaleEveryRecipe)->Repetitions(3);
}

std::vector<TableRow> scalingTableRows()
{
    return {
        {"`Collection::readAll` + `scaledIngredients` by 2, every recipe", "large", "cooking/scale_ingredients/large",
         {"raw/exchange_read_rows/large"}, "raw read of every row", 2},
    };
}

}  // namespace bench
