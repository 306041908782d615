// The heroine's models, her wardrobe, her motions and the stages, written into an output folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/writers/tmb_writer.h"

// One archive to pack: its description (UTF-8 KEYVALUE text) and member files, plus the icons
// (or the background sample) to render from models before packing.
struct IconShot {
    std::string file;  // the PSD to make, e.g. "hair01.psd"
    std::string kind;  // "icon" (38 x 38, dimmed and normal layers) or "sample"
    std::string eye, target, light;
    std::vector<std::string> models;  // body first
    std::string motion;
    float time = 0;
};
struct ArchivePlan {
    std::string archive;  // e.g. "hair01.tr2"
    std::string description;
    std::vector<std::string> members;  // files written into the output folder
    std::vector<IconShot> shots;
};

struct Output {
    std::filesystem::path folder;
    std::vector<ArchivePlan> archives;
    void writeModel(const std::string& name, const TmbModel& model);
    void writeBytes(const std::string& name, const std::vector<uint8_t>& bytes);
    void writeText(const std::string& name, const std::string& text);
};

void buildHeroine(Output* out);   // bodies, eyes, hair, motions
void buildWardrobe(Output* out);  // clothes, accessories, coordinates
void buildStages(Output* out);    // stages, stage motion, camera paths, backgrounds
