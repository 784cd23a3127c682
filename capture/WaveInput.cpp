#include "capture/WaveInput.h"

#include <atomic>

namespace mirel {

namespace {
std::atomic<std::uint64_t> nextHandleSerial{1};
}

WaveInHandle::WaveInHandle() : serial_(nextHandleSerial.fetch_add(1)) {}

std::string standardErrorText(MMResult code)
{
    switch (code) {
    case MMSYSERR_NOERROR: return "Команда выполнена успешно.";
    case MMSYSERR_ERROR: return "Неуточненная ошибка.";
    case MMSYSERR_BADDEVICEID: return "Номер устройства вне допустимого диапазона.";
    case MMSYSERR_ALLOCATED: return "Устройство уже используется.";
    case MMSYSERR_INVALHANDLE: return "Неверный дескриптор устройства.";
    case MMSYSERR_NODRIVER: return "Драйвер устройства отсутствует.";
    case MMSYSERR_NOMEM: return "Не удается выделить или закрепить память.";
    case MMSYSERR_INVALPARAM: return "Передан неверный параметр.";
    case WAVERR_BADFORMAT: return "Устройство не поддерживает запрошенный формат отсчетов.";
    case WAVERR_STILLPLAYING: return "Буфер еще в очереди.";
    case WAVERR_UNPREPARED: return "Заголовок буфера не подготовлен.";
    default: return "Неизвестная ошибка " + std::to_string(code) + ".";
    }
}

}  // namespace mirel
