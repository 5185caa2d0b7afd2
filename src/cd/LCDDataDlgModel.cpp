#include "cd/LCDDataDlgModel.h"

#include <cstdio>

#include "cd/LCDDrives.h"
#include "cd/LCDIsoLayout.h"
#include "core/LProgressDialog.h"
#include "core/LUi.h"

namespace {

std::string Megabytes(int64_t sectors)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f MB", double(sectors) / 512.0);
    return text;
}

} // namespace

LCDDataDlgModel::LCDDataDlgModel() : settings(LCDBurnSettings::Read())
{
    tree_ = std::make_unique<LCDDataTree>(settings.rockRidge);
}

void LCDDataDlgModel::ShowNotes(const std::vector<std::string>& notes)
{
    if (notes.empty())
        return;
    std::string text;
    for (size_t i = 0; i < notes.size() && i < 10; ++i)
        text += (i ? "\n" : "") + notes[i];
    if (notes.size() > 10)
        text += "\n(and " + std::to_string(notes.size() - 10) + " more)";
    LUiGet().Message(text, kTitle, LUiButtons::Ok, LUiIcon::Information);
}

bool LCDDataDlgModel::Add(const std::string& path)
{
    tree_->ClearNotes();
    const bool ok = tree_->Add(path);
    if (!ok) {
        // Nothing half-read stays: a folder that failed part way is taken out again.
        for (const auto& c : tree_->Root().children)
            if (c->sourcePath == path) {
                tree_->Remove(c.get());
                break;
            }
        LUiGet().Message(tree_->Error(), "Error", LUiButtons::Ok, LUiIcon::Exclamation);
    }
    ShowNotes(tree_->Notes());
    return ok;
}

bool LCDDataDlgModel::Remove(const LCDFile* node) { return tree_->Remove(node); }

void LCDDataDlgModel::SetRockRidge(bool on)
{
    settings.rockRidge = on;
    if (tree_->RockRidge() == on)
        return;
    std::vector<std::string> paths;
    for (const auto& c : tree_->Root().children)
        paths.push_back(c->sourcePath);
    tree_ = std::make_unique<LCDDataTree>(on);
    for (const std::string& p : paths)
        tree_->Add(p);
}

int32_t LCDDataDlgModel::Sectors()
{
    if (tree_->Empty())
        return 0;
    LCDIsoLayout layout;
    LCDIsoLayout::Options options;
    options.label = label;
    options.rockRidge = tree_->RockRidge();
    std::string error;
    return layout.Build(tree_->Root(), options, error) ? layout.ImageSectors() : 0;
}

std::string LCDDataDlgModel::TotalText(const LCDBurnDlgModel::Disc* disc)
{
    int32_t files = 0, folders = 0;
    std::vector<const LCDFile*> stack{&tree_->Root()};
    while (!stack.empty()) {
        const LCDFile* n = stack.back();
        stack.pop_back();
        for (const auto& c : n->children) {
            (c->isDirectory ? folders : files) += 1;
            stack.push_back(c.get());
        }
    }
    std::string text = Megabytes(Sectors()) + " in " + std::to_string(files) + (files == 1 ? " file" : " files");
    if (folders > 0)
        text += " and " + std::to_string(folders) + (folders == 1 ? " folder" : " folders");
    if (disc && disc->present)
        text += " of " + Megabytes(disc->capacitySectors);
    return text;
}

std::vector<LCDBurnDlgModel::Drive> LCDDataDlgModel::Drives() { return drives_.Drives(); }

LCDBurnDlgModel::Disc LCDDataDlgModel::ProbeDisc()
{
    drives_.settings.drive = settings.drive;
    return drives_.ProbeDisc();
}

int32_t LCDDataDlgModel::Write()
{
    last_ = LCDWriteDataCD::Data();
    last_.tree = tree_.get();
    last_.label = label;
    last_.imagePath = imagePath;
    last_.settings = settings;
    int32_t result;
    auto body = [this](LProgressDialog& dialog) { return LCDWriteDataCD::Process(dialog, last_); };
    if (imagePath.empty()) {
        if (!drives_.AnyRecorder()) {
            LUiGet().Message(LCDBurnDlgModel::kNoRecorder, "Error", LUiButtons::Ok, LUiIcon::Exclamation);
            return kJobFailed;
        }
        result = RunJobOnWorker(kTitle, body);
    } else {
        result = RunJob(kTitle, body);
    }
    if (result == kJobFailed && !last_.message.empty())
        LUiGet().Message(last_.message, "Error", LUiButtons::Ok, LUiIcon::Exclamation);
    ShowNotes(last_.notes);
    return result;
}
