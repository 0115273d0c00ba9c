// Files and folders dropped on the main window: handed to the drop road
// (files/target_collection.h), which replaces the working set with them.
//
// The window that the target is set on owns it (wxWindow::SetDropTarget);
// the roads are borrowed from the frame, which outlives its drop target.
#ifndef TESSAVO_UI_DROP_TARGET_H_
#define TESSAVO_UI_DROP_TARGET_H_

#include <wx/dnd.h>

class TargetCollection;

class MainDropTarget : public wxFileDropTarget {
 public:
  explicit MainDropTarget(TargetCollection& roads) : roads_(roads) {}

  // Takes every drop; the paths go to the roads in drop order.
  bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& names) override;

 private:
  TargetCollection& roads_;
};

#endif  // TESSAVO_UI_DROP_TARGET_H_
