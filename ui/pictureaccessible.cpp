#include "pictureaccessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include "picturebox.h"

namespace pictolex {
namespace {

class LabelAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    LabelAccessible(PictureBox* box, int index) : m_box(box), m_index(index) {}

    bool isValid() const override { return m_box && m_index < static_cast<int>(m_box->labels().size()); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_box ? m_box->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_box); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }

    QString text(QAccessible::Text kind) const override
    {
        if (!isValid())
            return {};
        const QString line = m_box->labelLine(m_index);
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        switch (kind) {
        case QAccessible::Name:
            return line.left(colon).trimmed();
        case QAccessible::Description:
            return colon < 0 ? QString() : line.mid(colon + 1).trimmed();
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const LabelBox& text = m_box->labels()[static_cast<std::size_t>(m_index)].text;
        return {m_box->mapToGlobal(QPoint(text.left, text.top)), QSize(text.right - text.left, text.bottom - text.top)};
    }
    // Pressing a label takes the reader to its line.
    QAccessible::Role role() const override { return QAccessible::Link; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !m_box || !m_box->isVisible();
        state.linked = true;
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && isValid())
            m_box->pressLabel(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    const PictureBox* box() const { return m_box; }
    int index() const { return m_index; }

private:
    QPointer<PictureBox> m_box;
    int m_index;
};

class PictureAccessible : public QAccessibleWidget {
public:
    explicit PictureAccessible(PictureBox* box) : QAccessibleWidget(box, QAccessible::Graphic) {}

    int childCount() const override { return static_cast<int>(box()->labels().size()); }

    QAccessibleInterface* child(int index) const override { return box()->labelAccessible(index); }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* label = dynamic_cast<const LabelAccessible*>(child);
        return label && label->box() == box() ? label->index() : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const int label = box()->labelAt(box()->mapFromGlobal(QPoint(x, y)));
        return label >= 0 ? child(label) : nullptr;
    }

private:
    PictureBox* box() const { return static_cast<PictureBox*>(widget()); }
};

QAccessibleInterface* PictureFactory(const QString&, QObject* object)
{
    if (auto* picture = qobject_cast<PictureBox*>(object))
        return new PictureAccessible(picture);
    return nullptr;
}

}  // namespace

void InstallPictureAccessibility()
{
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(PictureFactory);
        return true;
    }();
}

QAccessibleInterface* NewLabelAccessible(PictureBox* box, int index)
{
    return new LabelAccessible(box, index);
}

}  // namespace pictolex
