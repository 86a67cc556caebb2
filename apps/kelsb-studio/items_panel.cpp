#include "items_panel.h"

#include "studio_texts.h"

#include "host/base/kel_object.h"
#include "host/scene/play_piece.h"
#include "host/scene/play_scene.h"
#include "platform/win_consts.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kel::studio {

namespace {

constexpr int kGuidRole = Qt::UserRole;

Str KindOf(const CKelPlayBaseObj* piece) {
    if (kel::platform::DowncastTo<CKelPlayScrollObj>(piece)) {
        return Str::KindScroll;
    }
    if (kel::platform::DowncastTo<CKelPlayMovieObj>(piece)) {
        return Str::KindMovie;
    }
    if (kel::platform::DowncastTo<CKelPlayGroupObj>(piece)) {
        return Str::KindGroup;
    }
    return Str::KindPiece;
}

} // namespace

// A list whose drags run through the platform, so that the editor's window takes the drop as
// it takes any drag of the host.
class ItemsPanel::DragList : public QListWidget {
public:
    explicit DragList(ItemsPanel& panel) : QListWidget(&panel), m_panel(panel) {
        setSelectionMode(QAbstractItemView::ExtendedSelection);
        setDragEnabled(true);
    }

protected:
    void startDrag(Qt::DropActions) override { m_panel.DragRow(currentRow()); }

private:
    ItemsPanel& m_panel;
};

ItemsPanel::ItemsPanel(SceneSource scene, QWidget* parent)
    : QWidget(parent), m_scene(std::move(scene)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* label = new QLabel(Tr(Str::DragGroupsAs), this);
    m_phases = new QComboBox(this);
    m_phases->addItem(Tr(Str::PhaseIn), static_cast<unsigned>(KelPieceDragData::kIn));
    m_phases->addItem(Tr(Str::PhaseStay), static_cast<unsigned>(KelPieceDragData::kStay));
    m_phases->addItem(Tr(Str::PhaseOut), static_cast<unsigned>(KelPieceDragData::kOut));
    m_phases->addItem(Tr(Str::PhaseInStayOut), static_cast<unsigned>(KelPieceDragData::kInStayOut));
    m_phases->setCurrentIndex(3);
    m_list = new DragList(*this);
    setAccessibleName(Tr(Str::Items));
    label->setAccessibleName(label->text());
    label->setBuddy(m_phases);
    m_phases->setAccessibleName(label->text());
    m_list->setAccessibleName(Tr(Str::ItemsList));
    setFocusProxy(m_list); // the panel's keyboard focus goes to its list
    layout->addWidget(label);
    layout->addWidget(m_phases);
    layout->addWidget(m_list);
    QObject::connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_filling) {
            StoreSelection();
        }
    });
}

void ItemsPanel::Fill() {
    m_filling = true;
    m_list->clear();
    if (CKelPlaySceneObj* scene = m_scene ? m_scene() : nullptr) {
        const CKelObList* pieces = scene->GetPieceList();
        for (POSITION pos = pieces->GetHeadPosition(); pos;) {
            const auto* piece = kel::platform::DowncastTo<CKelPlayBaseObj>(pieces->GetNext(pos));
            if (!piece) {
                continue;
            }
            auto* item = new QListWidgetItem(
                QString("%1  (%2)")
                    .arg(QString::fromUtf8(piece->GetName().str()), Tr(KindOf(piece))),
                m_list);
            const auto& bytes = piece->GetGUID().bytes;
            item->setData(kGuidRole, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<int>(bytes.size())));
            item->setSelected(piece->IsSelected() != FALSE);
        }
    }
    m_filling = false;
}

CKelPlayBaseObj* ItemsPanel::PieceOf(int row) const {
    CKelPlaySceneObj* scene = m_scene ? m_scene() : nullptr;
    const QListWidgetItem* item = m_list->item(row);
    if (!scene || !item) {
        return nullptr;
    }
    // Rows name pieces by GUID: a piece may have left the scene since the list was filled.
    const QByteArray bytes = item->data(kGuidRole).toByteArray();
    KelGUID guid;
    if (bytes.size() != static_cast<int>(guid.bytes.size())) {
        return nullptr;
    }
    std::copy(bytes.begin(), bytes.end(), guid.bytes.begin());
    return scene->FindPieceByGUID(guid);
}

void ItemsPanel::StoreSelection() {
    for (int row = 0; row < m_list->count(); ++row) {
        if (CKelPlayBaseObj* piece = PieceOf(row)) {
            piece->SetSelected(m_list->item(row)->isSelected() ? TRUE : FALSE);
        }
    }
}

std::optional<KelPieceDragData> ItemsPanel::DragDataOf(int row) const {
    const CKelPlayBaseObj* piece = PieceOf(row);
    if (!piece) {
        return std::nullopt;
    }
    KelPieceDragData pieceData;
    pieceData.guid = piece->GetGUID();
    if (kel::platform::DowncastTo<CKelPlayScrollObj>(piece)) {
        pieceData.dwType = KelPieceDragData::kScroll;
    } else if (kel::platform::DowncastTo<CKelPlayMovieObj>(piece)) {
        pieceData.dwType = KelPieceDragData::kMovie;
    } else {
        pieceData.dwType = m_phases->currentData().toUInt();
    }
    return pieceData;
}

DWORD ItemsPanel::DragRow(int row) {
    const std::optional<KelPieceDragData> pieceData = DragDataOf(row);
    if (!pieceData) {
        return DROPEFFECT_NONE;
    }
    const auto bytes = pieceData->Encode();
    CKelOleDataSource* source =
        CKelDDPieceData::CreateKelDataSource(KelPieceDragData::kFormat, bytes.data(), bytes.size());
    const DWORD effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
    source->Release();
    return effect;
}

} // namespace kel::studio
