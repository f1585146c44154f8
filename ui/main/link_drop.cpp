#include "ui/main/link_drop.h"

#include "platform/tree.h"
#include "platform/tree_node.h"
#include "platform/tree_view.h"
#include "store/RecipeBas.h"
#include "ui/main/exchange_commands.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QShortcut>
#include <QUrl>

namespace mainform {

namespace {

bool isWebLink(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https");
}

// What a drop brings that can be imported: web links, and local files or folders.
QStringList importable(const QMimeData *mime)
{
    QStringList out;
    if (!mime || !mime->hasUrls())
        return out;
    for (const QUrl &url : mime->urls()) {
        if (isWebLink(url))
            out.append(url.toString());
        else if (url.isLocalFile())
            out.append(url.toLocalFile());
    }
    return out;
}

}  // namespace

LinkDrop::LinkDrop(platform::Tree &tree, ExchangeCommands &exchange, std::function<bool()> busy, QObject *parent)
    : QObject(parent), tree_(tree), exchange_(exchange), busy_(std::move(busy))
{
    // On the tree alone, so that Ctrl+V still pastes into the text boxes. Named, not the platform's
    // paste keys, which a platform without a theme leaves empty.
    auto *paste = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_V), tree.widget(), nullptr, nullptr, Qt::WidgetShortcut);
    connect(paste, &QShortcut::activated, this, &LinkDrop::paste);
    tree.widget()->viewport()->setAcceptDrops(true);
    tree.widget()->viewport()->installEventFilter(this);
}

QString LinkDrop::categoryOf(const platform::Node &node)
{
    if (node.isNull() || node.key() == RecipeBas::kRootKey)
        return {};
    const platform::Node parent = node.parent();
    if (!parent.isNull() && parent.key() == RecipeBas::kRootKey)
        return node.key();
    const platform::Node grandParent = parent.isNull() ? platform::Node() : parent.parent();
    if (!grandParent.isNull() && grandParent.key() == RecipeBas::kRootKey)
        return parent.key();
    return {};
}

bool LinkDrop::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (busy_() || importable(drag->mimeData()).isEmpty())
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList paths = importable(drop->mimeData());
        if (busy_() || paths.isEmpty())
            return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        const QString category = categoryOf(tree_.NodeAt(drop->position().toPoint()));
        // After the drop has returned, so that the program the drag came from is not kept waiting.
        QMetaObject::invokeMethod(
            this, [this, paths, category] { exchange_.importPaths(paths, category); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

void LinkDrop::paste()
{
    if (busy_())
        return;
    QStringList links;
    for (const QString &line : QGuiApplication::clipboard()->text().split(u'\n')) {
        const QString link = line.trimmed();
        if (isWebLink(QUrl(link)))
            links.append(link);
    }
    if (!links.isEmpty())
        exchange_.importPaths(links, categoryOf(tree_.Current()));
}

}  // namespace mainform
