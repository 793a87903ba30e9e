#pragma once

#include "views/segmentationeditor.h"
#include "views/viewwindow.h"

#include <memory>

class QRegister;

namespace amplex::ui {

class ControlTable;

// The "Segmentation" dialog: divides the register into segments and chooses how each
// segment's number is written. Every choice is written into the register's Segmentation at
// once; "OK" (or Enter) only announces okClicked() so that the views are brought up to date,
// then hides the dialog. It re-reads the record whenever it is shown or hidden.
class SegmentationDialog : public ViewWindow {
    Q_OBJECT
public:
    // live: the program's register (not owned; must outlive the dialog). Its segmentation link
    // is fetched again at every refresh.
    SegmentationDialog(QRegister& live, QWidget* parent = nullptr);
    ~SegmentationDialog() override;

    // Shows the record afresh: the global direction, one list entry per segment, segment 0.
    void refresh();

signals:
    // "OK" or Enter, emitted before the dialog hides itself.
    void okClicked();

protected:
    void enterPressed() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSegment();
    void selectionChanged(int row);
    void radioClicked(int id);
    void fromEdited();
    void toEdited();
    void add();
    void remove();
    void ok();
    void applyFocusedField();

    SegmentationEditor editor_;
    std::unique_ptr<ControlTable> controls_;
};

} // namespace amplex::ui
