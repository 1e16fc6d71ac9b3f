#pragma once

#include <QString>

#include <gst/gst.h>

// What a pipeline's error messages say, for the log and for the owner.
namespace GstBusErrors {

// The text of an error message.
QString textOf(GstMessage *error);
// The first error the pipeline posted and nobody took yet, or nothing; never waits.
QString takeFirst(GstElement *pipeline);

} // namespace GstBusErrors
