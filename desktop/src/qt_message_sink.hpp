// Message boxes on the screen.
#pragma once

#include "message_sink.hpp"

namespace oxtarn {

class QtMessageSink : public MessageSink {
public:
    Answer show(Icon icon, const QString& caption, const QString& text, Buttons buttons) override;
};

}  // namespace oxtarn
