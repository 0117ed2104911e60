#pragma once

#include <QString>

namespace rv {

// Outcome of a load or save: ok, or a Hungarian message for the user.
class Result {
public:
    static Result success() { return Result(); }
    // code: the error number written into the error log (53 missing file, 62 damaged content,
    // 75 access, 76 path not found); 0 when the failure is the user's answer, not an error.
    static Result failure(QString message, int code = 0) { return Result(std::move(message), code); }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const QString& message() const { return m_message; }
    int code() const { return m_code; }

private:
    Result() = default;
    Result(QString message, int code) : m_ok(false), m_message(std::move(message)), m_code(code) {}
    bool m_ok = true;
    QString m_message;
    int m_code = 0;
};

} // namespace rv
