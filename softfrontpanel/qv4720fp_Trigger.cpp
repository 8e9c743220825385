#include "qv4720fp_Trigger.h"

qv4720fp_Trigger::qv4720fp_Trigger(qv4720fp_App* app) : m_app(app) {}
