#include "app/FieldcastDlg.h"
#include "app/Messages.h"
#include "app/WorkerThreads.h"

OutThread::OutThread() {}
