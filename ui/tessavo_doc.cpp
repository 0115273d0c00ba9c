#include "ui/tessavo_doc.h"

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>

#include <string>
#include <utility>
#include <vector>

#include "files/file_name.h"
#include "files/target_sink.h"
#include "files/working_set_file.h"
#include "platform/file_handle.h"
#include "ui/err_list_view.h"
#include "ui/file_list_view.h"
#include "ui/main_frame.h"
#include "ui/working_set_dialog.h"
#include "ui/wx_text.h"

wxIMPLEMENT_DYNAMIC_CLASS(TessavoDoc, wxDocument);
wxIMPLEMENT_DYNAMIC_CLASS(TessavoView, wxView);

namespace {

const char kProgramName[] = "Tessavo";

// Keeps what a working-set file lists, so that the panes are emptied only
// once the file has proved to be one.
class CollectingSink : public TargetSink {
 public:
  void AddFile(const std::string& path) override { entries.emplace_back(true, path); }
  void AddUri(const std::string& text) override { entries.emplace_back(false, text); }
  std::vector<std::pair<bool, std::string>> entries;  // (is a file, location)
};

// Never waits: a FIFO or device in the place of a working set is refused.
bool readable(const std::string& path) {
  return platform::FileHandle().openRegularForReading(path);
}

wxWindow* dialogParent() {
  return wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr;
}

}  // namespace

void TessavoDoc::SetModifiedFlag(bool modified) {
  m_documentModified = modified;
  wxString title = wxString::FromUTF8("無題");
  if (!GetFilename().empty()) title = toWx(FileName(fromWx(GetFilename())).name());
  if (modified) title += " *";
  SetTitle(title);
  // Adding 10,000 targets sets the flag 10,000 times; the caption is only
  // touched when its text changes.
  if (title == shownTitle_ || m_documentViews.IsEmpty()) return;
  shownTitle_ = title;
  for (wxList::compatibility_iterator node = m_documentViews.GetFirst(); node;
       node = node->GetNext()) {
    static_cast<wxView*>(node->GetData())->OnChangeFilename();
  }
}

void TessavoDoc::OnChangeFilename(bool notifyViews) {
  // The title follows the name; SetModifiedFlag recomputes both.
  (void)notifyViews;
  SetModifiedFlag(IsModified());
}

wxString TessavoDoc::frameCaption() const {
  return GetTitle() + " - " + kProgramName;
}

bool TessavoDoc::OnNewDocument() {
  SetDocumentSaved(false);
  m_documentFile.clear();
  if (filePane_ != nullptr) filePane_->ClearLines();
  if (errorPane_ != nullptr) errorPane_->ClearLines();
  SetModifiedFlag(false);
  return true;
}

bool TessavoDoc::OnOpenDocument(const wxString& path) {
  const std::string bytes = fromWx(path);
  if (!readable(bytes)) {
    wxMessageBox(path + wxString::FromUTF8("\nを開けません。"), kProgramName,
                 wxOK | wxICON_EXCLAMATION, dialogParent());
    return false;
  }
  CollectingSink loaded;
  if (!readWorkingSet(bytes, loaded)) return false;

  // Open starts from an empty working set, as New does.
  if (filePane_ != nullptr) {
    filePane_->ClearLines();
    for (const auto& [isFile, location] : loaded.entries) {
      if (isFile) {
        filePane_->AddFile(location);
      } else {
        filePane_->AddUri(location);
      }
    }
  }
  if (errorPane_ != nullptr) errorPane_->ClearLines();
  m_documentFile = path;
  SetDocumentSaved(true);
  SetModifiedFlag(false);
  return true;
}

bool TessavoDoc::OnSaveDocument(const wxString& path) {
  std::vector<std::pair<std::string, std::string>> lines;
  if (filePane_ != nullptr) {
    for (const CheckTarget* target : filePane_->targets()) {
      lines.emplace_back(target->kindName(), target->location);
    }
  }
  if (!writeWorkingSet(fromWx(path), lines)) {
    wxMessageBox(path + wxString::FromUTF8("\nに保存できません。"), kProgramName,
                 wxOK | wxICON_EXCLAMATION, dialogParent());
    return false;
  }
  m_documentFile = path;
  SetDocumentSaved(true);
  SetModifiedFlag(false);
  if (wxDocManager* manager = GetDocumentManager()) manager->AddFileToHistory(path);
  return true;
}

wxString TessavoDoc::withWorkingSetExtension(const wxString& chosen) {
  if (!FileName(fromWx(chosen)).extension(false).empty()) return chosen;
  return chosen + ".tvx";
}

bool TessavoDoc::SaveAs() {
  WorkingSetDialog dialog(dialogParent(), WorkingSetDialog::Purpose::SaveAs, GetFilename());
  if (dialog.ShowModal() != wxID_OK || dialog.chosenPath().empty()) return false;
  const wxString chosen = dialog.chosenPath();
  const wxString path = withWorkingSetExtension(chosen);
  // The dialog asked about the name as typed; the name with the extension
  // added may be another file that exists.
  if (path != chosen && wxFileExists(path) &&
      wxMessageBox(
          wxFileNameFromPath(path) + wxString::FromUTF8(" は既に存在します。\n上書きしますか?"),
          kProgramName, wxYES_NO | wxICON_EXCLAMATION, dialogParent()) != wxYES) {
    return false;
  }
  return OnSaveDocument(path);
}

bool TessavoDoc::OnSaveModified() {
  if (!IsModified()) return true;
  wxString name = wxString::FromUTF8("無題");
  if (!GetFilename().empty()) name = toWx(FileName(fromWx(GetFilename())).name());
  const int answer =
      wxMessageBox(name + wxString::FromUTF8(" への変更を保存しますか?"), kProgramName,
                   wxYES_NO | wxCANCEL | wxICON_QUESTION, dialogParent());
  if (answer == wxCANCEL) return false;
  if (answer == wxNO) return true;
  return Save();
}

bool TessavoView::OnCreate(wxDocument* document, long /*flags*/) {
  auto* frame = wxDynamicCast(wxTheApp->GetTopWindow(), CMainFrame);
  auto* doc = wxDynamicCast(document, TessavoDoc);
  if (frame == nullptr || doc == nullptr) return false;
  SetFrame(frame);
  frame->attachDocument(doc);
  OnChangeFilename();
  return true;
}

void TessavoView::OnDraw(wxDC* /*dc*/) {}

void TessavoView::OnChangeFilename() {
  auto* doc = wxDynamicCast(GetDocument(), TessavoDoc);
  if (doc != nullptr && GetFrame() != nullptr) GetFrame()->SetLabel(doc->frameCaption());
}

bool TessavoView::OnClose(bool /*deleteWindow*/) {
  // The frame outlives the view; only detach from it.
  if (auto* frame = wxDynamicCast(GetFrame(), CMainFrame)) frame->attachDocument(nullptr);
  SetFrame(nullptr);
  return true;
}
