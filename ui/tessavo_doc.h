// The working-set document: a file name, a title with the modified mark and
// the ".tvx" file format. It holds no list of its own; the working set is the
// file pane's lines, which loading fills through AddFile/AddUri and saving
// walks.
//
// One document lives for the whole run of the program: New and Open reuse it
// (the frame calls OnNewDocument/OnOpenDocument on it after the usual
// question about unsaved changes, and then gives the file pane its initial
// update). TessavoView is the document's one view; it ties the document to
// the main frame's panes, which exist before it.
//
// Ownership: the pane pointers are borrowed from the frame (the splitter owns
// the pane windows). User-interface thread only.
#ifndef TESSAVO_UI_TESSAVO_DOC_H_
#define TESSAVO_UI_TESSAVO_DOC_H_

#include <wx/docview.h>

class ErrListView;
class FileListView;

class TessavoDoc : public wxDocument {
 public:
  TessavoDoc() = default;

  void setFilePane(FileListView* pane) { filePane_ = pane; }
  void setErrorPane(ErrListView* pane) { errorPane_ = pane; }
  FileListView* filePane() const { return filePane_; }
  ErrListView* errorPane() const { return errorPane_; }

  // Stores the modified flag and sets the title: the file's name, or "無題"
  // for a working set without a file, followed by " *" while modified.
  void SetModifiedFlag(bool modified);

  void Modify(bool modified) override { SetModifiedFlag(modified); }
  bool OnNewDocument() override;
  // Reads a working-set file. A file without the signature line fails
  // silently and leaves the panes as they were; otherwise both panes are
  // emptied before the file's targets are added.
  bool OnOpenDocument(const wxString& path) override;
  // Whether OnOpenDocument would succeed with `path`; a file that cannot be
  // read is told as it would be there. Reads the file; changes nothing.
  static bool canOpen(const wxString& path);
  // Writes the working set; a saved file goes first in the recent-file list.
  bool OnSaveDocument(const wxString& path) override;
  // The save dialog "名前を付けて保存" for working-set files; a name typed
  // without an extension gets ".tvx".
  bool SaveAs() override;
  // The question about unsaved changes. "No" lets the caller go on and
  // leaves the flag alone: it is cleared only when the set is really
  // replaced or closed.
  bool OnSaveModified() override;
  void OnChangeFilename(bool notifyViews) override;
  bool DeleteContents() override { return true; }

  // The caption of the main window: the title, " - ", the program's name.
  wxString frameCaption() const;

  // The path a save dialog's answer stands for: `chosen`, with ".tvx" added
  // when its file name has no extension.
  static wxString withWorkingSetExtension(const wxString& chosen);

 private:
  FileListView* filePane_ = nullptr;  // not owned
  ErrListView* errorPane_ = nullptr;  // not owned
  wxString shownTitle_;               // the title the caption shows

  wxDECLARE_DYNAMIC_CLASS(TessavoDoc);
};

class TessavoView : public wxView {
 public:
  TessavoView() = default;

  bool OnCreate(wxDocument* document, long flags) override;
  void OnDraw(wxDC* dc) override;
  void OnChangeFilename() override;
  bool OnClose(bool deleteWindow) override;

 private:
  wxDECLARE_DYNAMIC_CLASS(TessavoView);
};

#endif  // TESSAVO_UI_TESSAVO_DOC_H_
