#pragma once

class QWidget;

// The program's help, shipped inside it as pages numbered by topic (1 to 8 in Spanish, 201 to 208
// in English). One help window is kept per owner and brought forward at the asked topic; the
// caller does not wait for it.
namespace HelpViewer {
// False when the program has no page for the topic.
bool showTopic(int topic, QWidget* owner);
} // namespace HelpViewer
