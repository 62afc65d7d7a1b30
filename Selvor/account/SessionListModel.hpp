#pragma once

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

#include <vector>

namespace Selvor {

struct SessionRecord;

// Login and signature events as list rows, in the order the service sent them. The rows are
// made on demand from the records, so a long history costs only what is on screen. An optional
// limit shows just the first rows.
class SessionListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ANONYMOUS

public:
    enum Role {
        IconRole = Qt::UserRole + 1,
        RpNameRole,
        MomentRole,
        ActionRole,
        ResultRole,
        ResultColourRole,
    };

    explicit SessionListModel(int limit = -1, QObject* parent = nullptr);

    // Shows `sessions`, which the caller keeps alive and unchanged until the next call.
    void setSessions(const std::vector<SessionRecord>* sessions);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    const std::vector<SessionRecord>* m_sessions = nullptr;
    int m_limit;
};

} // namespace Selvor
