#include "addin/method_table.h"

#include "addin/interface_methods.h"
#include "addin/settings_methods.h"
#include "operations/driver_methods.h"

namespace korvant {
namespace {

using enum ArgumentCheck;

constexpr std::array<MethodInfo, kMethodCount> kMethods{{
    {"GetInterfaceRevision", "ПолучитьРевизиюИнтерфейса", 0, 1, Any, getInterfaceRevision},
    {"GetDescription", "ПолучитьОписание", 1, 1, Exact, getDescription},
    {"GetLastError", "ПолучитьОшибку", 1, 1, Exact, getLastError},
    {"GetParameters", "ПолучитьПараметры", 1, 1, Exact, getParameters},
    {"SetParameter", "УстановитьПараметр", 2, 1, Exact, setParameter},
    {"Open", "Подключить", 1, 1, Exact, openDevice},
    {"Close", "Отключить", 1, 1, Exact, closeDevice},
    {"DeviceTest", "ТестУстройства", 2, 1, Exact, deviceTest},
    {"GetAdditionalActions", "ПолучитьДополнительныеДействия", 1, 1, Exact, getAdditionalActions},
    {"DoAdditionalAction", "ВыполнитьДополнительноеДействие", 1, 1, Exact, notOffered},
    {"GetDataKKT", "ПолучитьПараметрыККТ", 2, 1, Exact, getDataKKT},
    {"OperationFN", "ОперацияФН", 3, 1, Exact, operationFN},
    {"OpenShift", "ОткрытьСмену", 3, 1, Exact, openShift},
    {"CloseShift", "ЗакрытьСмену", 3, 1, Exact, closeShift},
    {"ProcessCheck", "СформироватьЧек", 4, 1, Exact, processCheck},
    {"ProcessCorrectionCheck", "СформироватьЧекКоррекции", 3, 1, Exact, processCorrectionCheck},
    {"PrintTextDocument", "НапечататьТекстовыйДокумент", 2, 1, Exact, printTextDocument},
    {"CashInOutcome", "НапечататьЧекВнесенияВыемки", 3, 1, Exact, cashInOutcome},
    {"PrintXReport", "НапечататьОтчетБезГашения", 2, 1, Exact, printXReport},
    {"PrintCheckCopy", "НапечататьКопиюЧека", 2, 1, Any, unsupported},
    {"GetCurrentStatus", "ПолучитьТекущееСостояние", 3, 1, Exact, getCurrentStatus},
    {"ReportCurrentStatusOfSettlements", "ОтчетОТекущемСостоянииРасчетов", 3, 1, Exact,
     reportCurrentStatusOfSettlements},
    {"OpenCashDrawer", "ОткрытьДенежныйЯщик", 1, 1, Any, unsupported},
    {"GetLineLength", "ПолучитьШиринуСтроки", 2, 1, Exact, getLineLength},
    {"OpenSessionRegistrationKM", "ОткрытьСессиюРегистрацииКМ", 1, 1, Exact, unsupported},
    {"CloseSessionRegistrationKM", "ЗакрытьСессиюРегистрацииКМ", 1, 1, Exact, unsupported},
    {"RequestKM", "ЗапросКМ", 3, 1, Exact, unsupported},
    {"GetProcessingKMResult", "ПолучитьРезультатыЗапросаКМ", 3, 1, Exact, unsupported},
    {"ConfirmKM", "ПодтвердитьКМ", 3, 1, Exact, unsupported},
}};

} // namespace

const std::array<MethodInfo, kMethodCount>& methodTable() {
    return kMethods;
}

const MethodInfo* methodInfo(long number) {
    const auto index = static_cast<unsigned long>(number);
    return index < kMethods.size() ? &kMethods[index] : nullptr;
}

long findMethod(std::string_view name) {
    for (size_t i = 0; i < kMethods.size(); ++i) {
        if (name == kMethods[i].english || name == kMethods[i].russian) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

} // namespace korvant
