#include "account/SessionListModel.hpp"

#include "account/AccountText.hpp"
#include "api/models/DashboardModels.hpp"

namespace Selvor {
namespace {

// The action label of a login; every other session is a signature.
const std::string loginLabel = actionLabel("AUTH");

} // namespace

SessionListModel::SessionListModel(int limit, QObject* parent)
    : QAbstractListModel(parent), m_limit(limit) {}

void SessionListModel::setSessions(const std::vector<SessionRecord>* sessions) {
    beginResetModel();
    m_sessions = sessions;
    endResetModel();
}

int SessionListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_sessions)
        return 0;
    const auto count = static_cast<int>(m_sessions->size());
    return m_limit < 0 ? count : std::min(count, m_limit);
}

QVariant SessionListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const SessionRecord& session = (*m_sessions)[static_cast<std::size_t>(index.row())];
    switch (role) {
    case IconRole:
        return actionLabel(session.sessionType) == loginLabel
                   ? QStringLiteral("person.badge.shield.checkmark")
                   : QStringLiteral("signature");
    case RpNameRole:
        return QString::fromStdString(session.rpName);
    case MomentRole:
        return QString::fromStdString(momentText(session.createdAt));
    case ActionRole:
        return QString::fromStdString(actionLabel(session.sessionType));
    case ResultRole:
        return QString::fromStdString(resultLabel(session.result).text);
    case ResultColourRole:
        return AccountText::toneColour(resultLabel(session.result).tone);
    default:
        return {};
    }
}

QHash<int, QByteArray> SessionListModel::roleNames() const {
    return {{IconRole, "icon"},     {RpNameRole, "rpName"}, {MomentRole, "moment"},
            {ActionRole, "action"}, {ResultRole, "result"}, {ResultColourRole, "resultColour"}};
}

} // namespace Selvor
