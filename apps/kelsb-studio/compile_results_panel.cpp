#include "compile_results_panel.h"

#include "studio_texts.h"

#include "host/scene/play_piece.h"
#include "host/scene/play_scene.h"
#include "host/services/video_std.h"

#include <QHeaderView>
#include <QLabel>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <array>

namespace kel::studio {

namespace {

using Problem = CKelPlaySceneObj::CompileProblem;

using Text = StudioText;

constexpr Text kTitle = {"Compile Results", "编译结果", "編譯結果"};
constexpr std::array<Text, 4> kColumns = {{
    {"Track", "轨道", "軌道"},
    {"Time", "时间", "時間"},
    {"Piece", "图文", "圖文"},
    {"Problem", "问题", "問題"},
}};
constexpr Text kNone = {"The compile found no problems.", "编译未发现问题。", "編譯未發現問題。"};
constexpr Text kCount = {"Problems found by the compile: %1", "编译发现的问题：%1",
                         "編譯發現的問題：%1"};
constexpr Text kNotRun = {"No compile yet: Compile (M) in the editor checks the storyboard.",
                          "尚未编译：在编辑器中按编译（M）检查故事板。",
                          "尚未編譯：在編輯器中按編譯（M）檢查腳本。"};
constexpr Text kSummaryName = {"Compile summary", "编译摘要", "編譯摘要"};
constexpr Text kListName = {"Problems found", "发现的问题", "發現的問題"};
constexpr Text kMissingPiece = {"(missing)", "（缺失）", "（缺失）"};

Text ProblemText(Problem problem) {
    switch (problem) {
    case Problem::NoTrack:
        return {"The material lies on a track that does not exist", "素材所在的轨道不存在",
                "素材所在的軌道不存在"};
    case Problem::NoLength:
        return {"The material has no length", "素材没有长度", "素材沒有長度"};
    case Problem::MissingPiece:
        break;
    case Problem::ScrollFile:
        return {"The scroll file cannot be read", "无法读取滚屏文件", "無法讀取滾動字幕檔案"};
    case Problem::MovieFile:
        return {"The movie file cannot be read", "无法读取动画文件", "無法讀取動畫檔案"};
    case Problem::NoEffects:
        return {"The material's piece has no effects to play", "素材的图文没有可播放的特技",
                "素材的圖文沒有可播放的特效"};
    }
    return {"The material's piece is missing from the scene", "场景中缺少素材的图文",
            "場景中缺少素材的圖文"};
}

constexpr int kContainerRole = Qt::UserRole;
constexpr int kContentRole = Qt::UserRole + 1;

} // namespace

CompileResultsPanel::CompileResultsPanel(LANGID language, std::function<void(int, int)> show,
                                         QWidget* parent)
    : QWidget(parent), m_language(language), m_show(std::move(show)) {
    setWindowTitle(Title(language));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    QStringList headers;
    for (const Text& column : kColumns)
        headers << In(language, column);
    m_list->setHeaderLabels(headers);
    m_list->header()->setStretchLastSection(true);
    layout->addWidget(m_list);
    auto showRow = [this](QTreeWidgetItem* item) {
        if (item != nullptr && m_show)
            m_show(item->data(0, kContainerRole).toInt(), item->data(0, kContentRole).toInt());
    };
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [showRow](QTreeWidgetItem* item, int) { showRow(item); });
    // Enter on a row does what a double click does.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), m_list);
        enter->setContext(Qt::WidgetShortcut);
        connect(enter, &QShortcut::activated, this,
                [this, showRow] { showRow(m_list->currentItem()); });
    }
    setAccessibleName(Title(language));
    m_summary->setAccessibleName(In(language, kSummaryName));
    m_list->setAccessibleName(In(language, kListName));
    setFocusProxy(m_list);
    Clear();
}

QString CompileResultsPanel::Title(LANGID language) {
    return In(language, kTitle);
}

void CompileResultsPanel::Clear() {
    m_list->clear();
    m_summary->setText(In(m_language, kNotRun));
}

void CompileResultsPanel::Fill(const CKelPlaySceneObj& scene) {
    m_list->clear();
    const auto& issues = scene.GetCompileIssues();
    for (const CKelPlaySceneObj::CompileIssue& issue : issues) {
        const CKelPlayBaseObj* piece = scene.FindPieceByGUID(issue.pieceGUID);
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, QString::number(issue.nTrack + 1));
        item->setText(1, QString::fromStdString(CKelVideoStd::FrameToTCStr(issue.nStoryIn).str()));
        item->setText(2, piece != nullptr ? QString::fromStdString(piece->GetName().str())
                                          : In(m_language, kMissingPiece));
        item->setText(3, In(m_language, ProblemText(issue.nProblem)));
        item->setData(0, kContainerRole, issue.nContainer);
        item->setData(0, kContentRole, issue.nContent);
    }
    m_summary->setText(issues.empty()
                           ? In(m_language, kNone)
                           : In(m_language, kCount).arg(static_cast<int>(issues.size())));
}

QString CompileResultsPanel::Summary() const {
    return m_summary->text();
}

} // namespace kel::studio
