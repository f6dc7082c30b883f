// Every message box of the program goes through this interface, so that a
// test can read the messages and answer them.
#pragma once

#include <QString>

namespace oxtarn {

class MessageSink {
public:
    enum class Icon { Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel };
    enum class Answer { Ok, Cancel };

    virtual ~MessageSink() = default;
    // Shows `text` (lines joined by CR LF) and waits for the answer.
    virtual Answer show(Icon icon, const QString& caption, const QString& text, Buttons buttons) = 0;
};

}  // namespace oxtarn
