#pragma once

// Whether the X display that DISPLAY names answers a connection. Qt would
// abort on one that does not; asking first lets kelvo say so plainly.
bool x11DisplayAnswers();
