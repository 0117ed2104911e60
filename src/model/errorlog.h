#pragma once

#include <QString>

#include <stdexcept>

namespace rv {

struct AppState;

// An unexpected run-time error: what the error trap catches, logs and reports.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, QString description)
        : std::runtime_error("runtime error"), m_number(number), m_description(std::move(description)) {}
    int number() const { return m_number; }
    const QString& description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// Appends one quoted line to error.log: date, version, " --> " and the message.
void LogError(const AppState& state, const QString& message);
// The usual message: ErrorLocation + " : " + error number, then the description.
void logCaught(const AppState& state, int number, const QString& description);

} // namespace rv
