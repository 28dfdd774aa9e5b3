#pragma once

// Two waves of 2000 members for the benchmarks of comparisons: 10 positive and 5 negative choices
// each, a third of the choices changed between the waves.

#include <random>
#include <string>

#include "store/fileacc.h"

namespace wavesbench {

constexpr int kMembers = 2000;

inline void MakeProject(TFileAccess& store)
{
    std::mt19937 random(2000);
    std::uniform_int_distribution<int> other(1, kMembers);
    store.ClientGroups().Add(1, "Study");
    for (int id = 1; id <= kMembers; ++id)
        store.Clients().Add(id, 1, "Member " + std::to_string(id), id % 2 == 0, 30000);
    for (int wave = 1; wave <= 2; ++wave) {
        store.Investigations().Add({.Id = wave,
                                    .ClientGroupId = 1,
                                    .CriterionId = -1,
                                    .CriteriaGroupId = -1,
                                    .Name = "Wave " + std::to_string(wave),
                                    .Date = 40000.0 + wave,
                                    .AllowAgainst = true,
                                    .MaxChoices = 10});
    }
    for (int from = 1; from <= kMembers; ++from) {
        for (int k = 0; k < 15; ++k) {
            const int to = other(random);
            if (to == from)
                continue;
            // Two of three choices are made again in the second wave; the rest go elsewhere.
            const int later = k % 3 == 0 ? other(random) : to;
            if (k < 10) {
                store.ForChoices().Add(1, from, to);
                store.ForChoices().Add(2, from, later);
            } else {
                store.AgainstChoices().Add(1, from, to);
                store.AgainstChoices().Add(2, from, later);
            }
        }
    }
}

} // namespace wavesbench
