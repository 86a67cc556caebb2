// The Compile Results panel: what the last compile of the storyboard found, one row a problem
// (track, time, piece, what is wrong), in the editor's language. A double click brings the
// material into sight in the editor; a compile without problems says so.
#pragma once

#include "platform/resource_types.h"

#include <QWidget>
#include <functional>

class CKelPlaySceneObj;
class QLabel;
class QTreeWidget;

namespace kel::studio {

class CompileResultsPanel : public QWidget {
public:
    // `show` brings a material (container index, index within it) into sight.
    CompileResultsPanel(LANGID language, std::function<void(int nContainer, int nContent)> show,
                        QWidget* parent = nullptr);

    // The panel's title in the editor's language.
    static QString Title(LANGID language);

    // Shows the scene's last compile.
    void Fill(const CKelPlaySceneObj& scene);
    // Forgets the results (another scene was opened).
    void Clear();

    QTreeWidget* List() const { return m_list; }
    // The line above the list: how many problems, or that there were none.
    QString Summary() const;

private:
    LANGID m_language;
    std::function<void(int, int)> m_show;
    QLabel* m_summary = nullptr;
    QTreeWidget* m_list = nullptr;
};

} // namespace kel::studio
