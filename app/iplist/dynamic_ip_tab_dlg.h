// The class panel (template 226): the IP classes first; a class's pool is fetched
// when the user double-clicks it. Favourites live in the value IpList; a button picks
// the favourites in turn.
#pragma once

#include <string>

#include "app/iplist/ip_panel_base.h"

namespace app {

class DynamicIpTabDlg final : public CIpPanelBase {
 public:
  explicit DynamicIpTabDlg(IpPanelParts parts);

  // Filled once per login: the class names of the session record.
  void LoadIpClasses();
  // The pool of the class just fetched and its favourites; the rotation starts again
  // at the first favourite.
  void LoadClassPool();
  // Double-click on the class list: fetches the class's pool and shows it.
  void ChooseClass();
  // Button 1061: the favourite at the rotation position, then the next one.
  void ChooseNextFavourite();

  void OnCommand(int id) override;
  void OnDoubleClick(int listId) override;
  RowColours RowColoursOf(int listId, int row) const override;

  // IIpListPanel
  void LoadList() override { LoadIpClasses(); }

  int classRow() const { return classRow_; }
  int rotation() const { return rotation_; }
  void SetRotation(int position) { rotation_ = position; }

 private:
  // The rotation goes on with the favourite after the one double-clicked.
  void OnFavouriteChosen(int favouriteRow) override { rotation_ = favouriteRow + 1; }

  int classRow_ = -1;
  int rotation_ = 0;  // the favourites row button 1061 takes next
};

}  // namespace app
