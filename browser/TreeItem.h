// The sample tree's items and its alphabetical order, shared by the tree's files.
#pragma once

#include <QIcon>
#include <QTreeWidgetItem>
#include <string>
#include <string_view>

#include "ui/TextOrder.h"

// Item tags.
constexpr int kTagCategory = 0;
constexpr int kTagSubcategory = 1;
constexpr int kTagSample = 2;
constexpr int kTagRoot = 3;

// The tree's and the drop-down lists' alphabetical order is TextLess.
// TextLess for two names given also as bytes: plain ASCII names are compared by their
// bytes (their text is those bytes), without reaching the texts.
bool TitleBefore(std::string_view a, std::string_view b, const QString& textA, const QString& textB);

// A tree item that keeps its level tag, its name's bytes, its text and its icon as
// plain members: a library of 100,000 samples builds and clears far faster than with
// the generic per-role storage. A category or sub-category item whose sample items are
// not made yet is pending.
class CTreeItem : public QTreeWidgetItem {
public:
    static constexpr int Type = QTreeWidgetItem::UserType + 1;

    CTreeItem(int tag, const std::string& name, const QString& text, const QIcon& icon)
        : QTreeWidgetItem(Type), m_tag(tag), m_name(name), m_text(text), m_icon(icon) {
        setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }
    int Tag() const { return m_tag; }
    const std::string& Name() const { return m_name; }
    const QString& Text() const { return m_text; }
    bool Pending() const { return m_pending; }
    void SetPending(bool pending) {
        m_pending = pending;
        setChildIndicatorPolicy(pending ? QTreeWidgetItem::ShowIndicator
                                        : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }

    QVariant data(int column, int role) const override {
        if (column == 0) {
            switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                return m_text;
            case Qt::ToolTipRole:
                // The whole of a long title, where the tree is too narrow to show it.
                return m_tag == kTagSample ? QVariant(m_text) : QVariant();
            case Qt::DecorationRole:
                return m_icon;
            default:
                break;
            }
        }
        return QTreeWidgetItem::data(column, role);
    }
    // The tree's alphabetical order (as TextLess), for sorting one item's children in
    // place, which keeps expanded branches and the selection.
    bool operator<(const QTreeWidgetItem& other) const override {
        const QString b = other.text(0);
        const int c = m_text.toCaseFolded().compare(b.toCaseFolded());
        return c != 0 ? c < 0 : m_text < b;
    }
    void setData(int column, int role, const QVariant& value) override {
        if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole)) {
            m_text = value.toString();
            emitDataChanged();
            return;
        }
        QTreeWidgetItem::setData(column, role, value);
    }

private:
    int m_tag;
    bool m_pending = false;
    std::string m_name;
    QString m_text;
    QIcon m_icon;
};

inline CTreeItem* TreeItem(QTreeWidgetItem* item) {
    return item && item->type() == CTreeItem::Type ? static_cast<CTreeItem*>(item) : nullptr;
}
