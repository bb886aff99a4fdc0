// The panes' text edit. Qt 6.4's text control reads the first format of the
// pasted data without checking there is one, so pasting an empty clipboard
// (nothing copied yet, or its owner gone) crashes; empty data is refused here.
#pragma once

#include <QMimeData>
#include <QPlainTextEdit>

class TCommentMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override {
        return HasData(source) && QPlainTextEdit::canInsertFromMimeData(source);
    }
    void insertFromMimeData(const QMimeData* source) override {
        if (HasData(source))
            QPlainTextEdit::insertFromMimeData(source);
    }

private:
    static bool HasData(const QMimeData* source) { return source && !source->formats().isEmpty(); }
};
