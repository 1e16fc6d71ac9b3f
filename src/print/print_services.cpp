#include "print/print_services.h"

#include "platform/services.h"

PrintServices printServicesOf(Services &services)
{
    return {services.printer, services.spreadsheets, services.messageBoxes, services.fileDialogs, services.clock};
}
