// Projects: Open, Save, Save As and Close Project.
#include <algorithm>

#include "app/LKVProject.h"
#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "app/MainDialogShared.h"
#include "core/LProgressDialog.h"

namespace S = LKVSettings;

MainDialog::ProjectOffer MainDialog::OfferToSaveProject(bool atExit)
{
    // At exit the question comes before the documents close, so that a project
    // saved then still holds them; it is asked only when there is a project or
    // a region to lose, not every time a document is open.
    const bool ask = atExit ? (!projectPath_.empty() || !regions_.empty()) : (!regions_.empty() || current_);
    if (!ask)
        return ProjectOffer::NotSaved;
    switch (LUiGet().Message("Save changes to current project?", kAppCaption, LUiButtons::YesNoCancel,
                             LUiIcon::Question)) {
    case LUiAnswer::Yes: return CmSaveProject() ? ProjectOffer::Saved : ProjectOffer::Cancelled;
    case LUiAnswer::No: return ProjectOffer::NotSaved;
    default: return ProjectOffer::Cancelled;
    }
}

bool MainDialog::AskToSaveDocuments()
{
    for (const auto& d : documents_) {
        if (!d->modified)
            continue;
        const LUiAnswer a = LUiGet().Message("Save changes to \"" + d->GetPathOrTitle() + "\"?", kAppCaption,
                                             LUiButtons::YesNoCancel, LUiIcon::Question);
        if (a == LUiAnswer::Cancel || (a == LUiAnswer::Yes && !SaveDocument(*d)))
            return false;
    }
    return true;
}

void MainDialog::SetCaptionChanged()
{
    if (view_)
        view_->CaptionChanged(Caption());
}

void MainDialog::ClearProject()
{
    StopPlayback();
    while (!documents_.empty())
        CloseDocumentNow(*documents_.front());
    bookmarks_.clear();
    regions_.clear();
    projectPath_.clear();
    if (view_) {
        view_->BookMarksChanged();
        view_->RegionsChanged();
    }
    SetCaptionChanged();
}

void MainDialog::ReplaceProject(LKVProjectContents contents, const std::string& path)
{
    ClearProject();
    for (auto& doc : contents.documents) {
        // Projects do not store the display mode: the user's current choice.
        doc->displayMode = uint8_t(std::clamp(LKVSettings::kWaveDisplayMode.Read(), 0, 3));
        documents_.push_back(std::move(doc));
        if (view_)
            view_->DocumentOpened(*documents_.back());
    }
    bookmarks_ = std::move(contents.bookmarks);
    regions_ = std::move(contents.regions);
    for (const auto& d : documents_)
        RecordDocument(*d);
    projectPath_ = path;
    SetCurrentFile(contents.currentIndex >= 0 ? documents_[size_t(contents.currentIndex)].get() : nullptr);
    if (view_) {
        view_->BookMarksChanged();
        view_->RegionsChanged();
    }
    SetCaptionChanged();
}

bool MainDialog::LoadProject(const std::string& path)
{
    const ProjectOffer offer = OfferToSaveProject(false);
    if (offer == ProjectOffer::Cancelled)
        return false;
    // A project just saved holds every document's audio; otherwise each
    // unsaved document is offered for saving before it goes.
    if (offer == ProjectOffer::NotSaved && !AskToSaveDocuments())
        return false;
    LKVProjectContents contents;
    const int32_t result =
        RunJob("Loading Project", [&](LProgressDialog& d) { return LKVProject::Load(d, path, contents); });
    if (result != kJobDone) {
        if (result == kJobFailed)
            LUiGet().Message("Kelvane cannot load the project. The project may be corrupted or damaged. Please try "
                             "again.",
                             kErrorCaption, LUiButtons::Ok, LUiIcon::Stop);
        return false;
    }
    ReplaceProject(std::move(contents), path);
    return true;
}

bool MainDialog::CmOpenProject()
{
    LUiFileRequest request{"Open Project", {}, {}, LKVProjectFileFilters(), false, {}};
    std::string path;
    if (!AskFileName(request, S::kOpenProjectDir, path))
        return false;
    return LoadProject(path);
}

bool MainDialog::SaveProjectTo(const std::string& path)
{
    if (documents_.empty() &&
        LUiGet().Message("This project does not contain any file. Do you want to continue to save it?", kAppCaption,
                         LUiButtons::YesNo, LUiIcon::Question) != LUiAnswer::Yes)
        return false;
    LKVProject::SaveData data;
    for (const auto& d : documents_)
        data.documents.push_back(d.get());
    data.current = current_;
    data.bookmarks = &bookmarks_;
    data.regions = &regions_;
    data.path = path;
    const std::string refused = LKVProject::CheckSave(data);
    if (!refused.empty()) {
        LUiGet().Message(refused, kErrorCaption, LUiButtons::Ok, LUiIcon::Exclamation);
        return false;
    }
    if (RunJob("Saving Project", [&](LProgressDialog& d) { return LKVProject::Save(d, data); }) != kJobDone) {
        LUiGet().Message("Kelvane could not save the project.", kErrorCaption, LUiButtons::Ok, LUiIcon::Stop);
        return false;
    }
    projectPath_ = path;
    SetCaptionChanged();
    return true;
}

bool MainDialog::CmSaveProject() { return projectPath_.empty() ? CmSaveProjectAs() : SaveProjectTo(projectPath_); }

bool MainDialog::CmSaveProjectAs()
{
    LUiFileRequest request{"Save Project As", {}, {}, LKVProjectFileFilters(), true, ".kvp"};
    std::string path;
    if (!AskSavePath(request, S::kSaveProjectAsDir,
                     "Another project with the same name already exists. Do you want to replace it?", path))
        return false;
    return SaveProjectTo(path);
}

bool MainDialog::CmCloseProject()
{
    const ProjectOffer offer = OfferToSaveProject(false);
    if (offer == ProjectOffer::Cancelled)
        return false;
    if (offer == ProjectOffer::NotSaved && !AskToSaveDocuments())
        return false;
    ClearProject();
    return true;
}
