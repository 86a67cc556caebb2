// The studio's Items panel: the scene's pieces, as the host's item list. Its selection is the
// items' selected flags (what WM_CG_ADD_ITEM_TO_SB puts on the storyboard); dragging a piece
// onto the editor's timeline drags the piece's data ("CREATE_PIECE_DATA") there, a group as
// the phases chosen above the list, a movie or a scroll as itself.
#pragma once

#include "host/services/drag_data.h"

#include <QComboBox>
#include <QListWidget>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class CKelPlaySceneObj;
class CKelPlayBaseObj;

namespace kel::studio {

class ItemsPanel : public QWidget {
public:
    using SceneSource = std::function<CKelPlaySceneObj*()>;

    ItemsPanel(SceneSource scene, QWidget* parent = nullptr);

    // Lists the scene's pieces with their selection.
    void Fill();
    QListWidget* List() const { return m_list; }
    QComboBox* PhaseChooser() const { return m_phases; }

    // The data a drag of the piece on `row` carries; nothing for a row without a piece.
    std::optional<KelPieceDragData> DragDataOf(int row) const;
    // Drags the piece on `row` from where the pointer is until the button comes up; the drop
    // effect (DROPEFFECT_NONE when it was not dropped or was refused).
    DWORD DragRow(int row);

private:
    class DragList;
    CKelPlayBaseObj* PieceOf(int row) const;
    // The list's selection becomes the items' selected flags.
    void StoreSelection();

    SceneSource m_scene;
    QPointer<QComboBox> m_phases;
    QPointer<QListWidget> m_list;
    bool m_filling = false;
};

} // namespace kel::studio
