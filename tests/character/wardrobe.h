// A small wardrobe for the costume and outfit tests: item add-ons with tiny models in a fresh
// folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "archive/key_value.h"
#include "media/model_instance.h"
#include "tests/support/test_files.h"

// One add-on archive: its description lines and the model files it holds (each listed under a
// further "FILE_" key after the description).
struct WardrobeAddOn {
    std::string archive;  // file name under add-ons/, without ".tr2"
    std::string description;
    std::vector<std::string> models;
};

// Writes the add-ons (and nothing else) into add-ons/ of the current folder and rebuilds the
// catalogue.
void installWardrobe(const std::vector<WardrobeAddOn>& addOns);
// Removes add-ons/ and rebuilds the empty catalogue.
void removeWardrobe();

// A parsed record from description text.
KEYVALUE record(const std::string& text);

// The figure's part names 0..31 ("" for an empty part).
std::vector<std::string> partNames(const CharacterInstance& figure);

// Runs the test in a fresh folder; the add-ons are removed afterwards.
class WardrobeTest : public ::testing::Test {
protected:
    ~WardrobeTest() override { removeWardrobe(); }
    ScopedCurrentPath inFolder{freshTestFolder()};
};
