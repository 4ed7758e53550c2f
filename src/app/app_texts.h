// The window's own texts.
#pragma once

namespace veltrano::app_texts {

inline constexpr const char* kCaption = "Veltrano_ v4.0.1";
inline constexpr const char* kErrorCaption = "Ошибка";

// Toolbar hints.
inline constexpr const char* kOpenImage = "Открыть Прошивку";
inline constexpr const char* kSaveImage = "Сохранить Прошивку";
inline constexpr const char* kSettings = "Настройки";
inline constexpr const char* kConnect = "Установить связь";
inline constexpr const char* kDisconnect = "Разорвать связь";
inline constexpr const char* kStartLearning = "Начать обучение";
inline constexpr const char* kStopLearning = "Остановить обучение";
inline constexpr const char* kExit = "Выход";

// Left tabs, in page order.
inline constexpr const char* kTabs[12] = {"BCN",        "PCN",       "AFR",    "UOZ",
                                          "RT",         "PCN - TRT", "DATA",   "DIAG",
                                          "ОШИБКИ ЭБУ", "ШДК Коэфф", "PCN_32", "Pcn_dad_32x32"};
inline constexpr const char* kRightTab = "Настройка";

// Status bar.
inline constexpr const char* kDisconnected = "Отключено";
inline constexpr const char* kConnected = "Подключено";
inline constexpr const char* kLinkLost = "Связь потеряна";
inline constexpr const char* kRamOff = "Swith To Ram : OFF";
inline constexpr const char* kRamOk = "Swith To Ram : OK";
inline constexpr const char* kLc1 = "LC1:";
inline constexpr const char* kLc1Prefix = "LC1: ";
inline constexpr const char* kLearningOff = "Обучение: откл";
inline constexpr const char* kLearningOn = "Обучение: вкл";
inline constexpr const char* kTimeReadPrefix = "TimeRead: ";
inline constexpr const char* kDadRt = "DAD_RT:";
inline constexpr const char* kStoichiometric = "Stochiometric LC-1:";
inline constexpr const char* kStoichiometricPrefix = "Stochiometric LC-1: ";
inline constexpr const char* kLc1ErrorPrefix = "LC1: Ошибка ";
inline constexpr const char* kLc1NoData = "LC1: нет данных";
// Short forms the status bar shows at 1024 px; the long forms above are their tooltips.
inline constexpr const char* kRamOffShort = "RAM: OFF";
inline constexpr const char* kRamOkShort = "RAM: OK";
inline constexpr const char* kStoichiometricShort = "Stoich:";
inline constexpr const char* kStoichiometricShortPrefix = "Stoich: ";
inline constexpr const char* kWriteFailedPrefix = "Не записано в ЭБУ: ";
inline constexpr const char* kOltWriteStatus = "Запись блока OLT: %1 %";
inline constexpr const char* kOltBlockFailed = "Блок OLT не записан";

// Messages.
inline constexpr const char* kNoImage = "Не открыта прошивка";
inline constexpr const char* kNotConnected = "Соединение не установлено";
inline constexpr const char* kStopFailed = "Ошибка связи, Порт закрыт";
inline constexpr const char* kSaveChangesQuestion = "Сохранить изменения в прошивке?";
inline constexpr const char* kYes = "Да";
inline constexpr const char* kNo = "Нет";
inline constexpr const char* kWelcomeCaption = "Добро пожаловать";
inline constexpr const char* kWelcomeText =
    "Это первый запуск программы. Необходимо настроить соединение с адаптером";

// Trouble codes tab.
inline constexpr const char* kClearCodes = "Удалить коды";
inline constexpr const char* kReadCodes = "Прочитать коды";
inline constexpr const char* kCodesTime = "Время";
inline constexpr const char* kCodesCode = "Код";
inline constexpr const char* kCodesDescription = "Описание";
inline constexpr const char* kCodesNone = "Ошибок нет";
inline constexpr const char* kCodesCount = "Кодов: %1";
inline constexpr const char* kCodesAfterClear = "После удаления: ";

// Learning over a log.
inline constexpr const char* kLearnCaption = "Обучение по журналу";
inline constexpr const char* kLearnCounts =
    "Записей: %1, выборок: %2, обновлений: %3, изменено ячеек: %4";
inline constexpr const char* kLearnRefused = "Не приняты: ";
inline constexpr const char* kLearnWas = "было %1";
inline constexpr const char* kLearnRunning = "Обучение по журналу…";

// Replay of a log.
inline constexpr const char* kReplaying = "Воспроизведение";
inline constexpr const char* kReplayCaption = "Воспроизведение журнала";
inline constexpr const char* kReplayPlay = "Пуск";
inline constexpr const char* kReplayPause = "Пауза";
inline constexpr const char* kReplayStop = "Стоп";
inline constexpr const char* kReplayWhileConnected =
    "Воспроизведение возможно только без связи с ЭБУ";

// Why learning waits ("Настройка" tab).
inline constexpr const char* kGateWaits = "Не учится: ";
inline constexpr const char* kGateAdmitted = "Учится: запись принята";
inline constexpr const char* kGateSamples = "принято";

// Session logs after the drive.
inline constexpr const char* kLogMenu = "Журнал";
inline constexpr const char* kOpenLog = "Открыть журнал…";
inline constexpr const char* kLearnFromLog = "Обучить по журналу…";
inline constexpr const char* kReplayLog = "Воспроизвести журнал…";
inline constexpr const char* kLogFileFilter = "Журнал сеанса (*.csv);;Все файлы (*)";
inline constexpr const char* kLogViewerCaption = "Журнал";
inline constexpr const char* kLogPlots = "Графики";
inline constexpr const char* kLogCellMap = "Карта ячеек";
inline constexpr const char* kLogAxisUnseen = "—";
inline constexpr const char* kLogSummary = "%1: строк %2";
inline constexpr const char* kLogSpan = ", %1 – %2";
inline constexpr const char* kLogSkipped = ", пропущено строк: %1";
inline constexpr const char* kLogFilters = "Фильтры";
inline constexpr const char* kFilterWarm = "ДТОЖ не ниже";
inline constexpr const char* kFilterNoFuelCut = "без отсечки топлива";
inline constexpr const char* kFilterThrottle = "дроссель ≥ 2 %";
inline constexpr const char* kFilterStationary = "стационарно, записей";

// "Настройка" tab.
inline constexpr const char* kRadioOlt = "OLT";
inline constexpr const char* kRadioRam = "RAM PCN";
inline constexpr const char* kRadioRamUoz = "RAM UOZ";
inline constexpr const char* kRadioDk = "ДК";
inline constexpr const char* kRadioVoltDk = "АЦП ДК";
inline constexpr const char* kRadioShdk = "ШДК";
inline constexpr const char* kRadioAlg2 = "Alg2";
inline constexpr const char* kRadioPrecise = "Точный";
inline constexpr const char* kExhaustDelays = "Задержки выпуска";
inline constexpr const char* kLockCells = "Закрепить";
inline constexpr const char* kUnlockCells = "Открепить";
inline constexpr const char* kExhaustDelaysCaption =
    "Задержка выпуска, мс (обороты × давление, кПа)";
inline constexpr const char* kApplyChanges = "Применить изменения";
inline constexpr const char* kResetMovement = "Сброс Движения";
inline constexpr const char* kResetLearning = "Сброс обучения";
inline constexpr const char* kLearnTrt = "Обучать RPM - TRT (PCN)";
inline constexpr const char* kRememberMovement = "Запомнить движение";
inline constexpr const char* kAutoSmoothing = "Включить сглаживание(auto)";
inline constexpr const char* kSkipBelow2Tps = "Не настраивать ниже 2% TPS ";
inline constexpr const char* kRequestDelay = "Задержка запроса";
inline constexpr const char* kLearnCoolant = "ТОЖ для обучения";
inline constexpr const char* kHitsPerPoint = "Попаданий в Точку";
inline constexpr const char* kDkZoneYes = "ДК Зона : есть";
inline constexpr const char* kDkZoneNo = "ДК Зона : нет";
inline constexpr const char* kDkReadyYes = "ДК Готов : есть";
inline constexpr const char* kDkReadyNo = "ДК Готов : нет";

// DATA tab.
inline constexpr const char* kInjStaticCaption = "Статика форсунок Мг/Мсек";
inline constexpr const char* kInjDynamic = "Динамическая производительность форсунок";
inline constexpr const char* kIdleMixture = "Состав смеси на Холостом Ходу от ДТОЖ";
inline constexpr const char* kIdleValve = "Желаемое положение РХХ от ДТОЖ";
inline constexpr const char* kIdleSpeed = "Желаемые обороты холостого хода от ДТОЖ";

// Context menus.
inline constexpr const char* kMenuInterpolateX = "Интерполяция по оси Х";
inline constexpr const char* kMenuInterpolateY = "Интерполяция по оси Y";
inline constexpr const char* kMenuSmooth = "Сгладить таблицу";
inline constexpr const char* kMenuExport = "Сохранить Таблицу";
inline constexpr const char* kMenuExportSecond = "Сохранить таблицу";

// Working with tables: undo, values, copy and paste, compare and revert.
inline constexpr const char* kMenuUndo = "Отменить";
inline constexpr const char* kMenuRedo = "Повторить";
inline constexpr const char* kMenuSetValue = "Установить значение…";
inline constexpr const char* kMenuAdd = "Прибавить…";
inline constexpr const char* kMenuMultiply = "Умножить на %…";
inline constexpr const char* kMenuCopy = "Копировать";
inline constexpr const char* kMenuPaste = "Вставить";
inline constexpr const char* kMenuRevert = "Вернуть исходное";
inline constexpr const char* kMenuRevertTable = "Вернуть исходную таблицу";
inline constexpr const char* kMenuCompareFile = "Сравнить с файлом…";
inline constexpr const char* kMenuCompareOpened = "Сравнить с исходной прошивкой";
inline constexpr const char* kSetValueLabel = "Значение для выделенных ячеек:";
inline constexpr const char* kAddLabel = "Прибавить к выделенным ячейкам:";
inline constexpr const char* kMultiplyLabel =
    "Изменить выделенные ячейки на, %\n(5 — на 5 % больше, -5 — на 5 % меньше):";
inline constexpr const char* kClampedNote = "Значение ограничено диапазоном таблицы: ";
inline constexpr const char* kPasteDoesNotFit = "Блок из буфера обмена не помещается в таблицу";
inline constexpr const char* kPasteEmpty = "В буфере обмена нет чисел для вставки";
inline constexpr const char* kCannotRead = "Не удалось прочитать файл: ";
inline constexpr const char* kComparingWith = "Сравнение с файлом: ";

// Ignition generator.
inline constexpr const char* kGenerate = "Сгенерировать";
inline constexpr const char* kLoadScale = "400";

// File dialogs.
inline constexpr const char* kSaveFilter = "Bin (*.bin);;Cte (*.cte)";

// Settings dialog.
inline constexpr const char* kSettingsCaption = "Настройки";
inline constexpr const char* kPageConnection = "Подключение";
inline constexpr const char* kPageLearning = "Обучение";
inline constexpr const char* kGroupPort = " COM порт ";
inline constexpr const char* kGroupSpeed = " Скорость и таймауты ";
inline constexpr const char* kGroupLambda = "ШДК";
inline constexpr const char* kGroupPoints = " Режимные точки ";
inline constexpr const char* kGroupStationary = " Стационарность обороты/дроссель ";
inline constexpr const char* kGroupConditions = " Условия обучения ";
inline constexpr const char* kPortLabel = "Порт:";
inline constexpr const char* kCheckConnection = "Проверка соединения";
inline constexpr const char* kAdapterFound = "Адаптер обнаружен";
inline constexpr const char* kAdapterNotFound = "Адаптер не обнаружен";
inline constexpr const char* kNoDialoutAccess = "нет доступа — пользователь не в группе dialout";
inline constexpr const char* kInitSpeed = "Скорость инициализации:";
inline constexpr const char* kInterval = "Интервал между запросами:";
inline constexpr const char* kMs = "мсек.";
inline constexpr const char* kLcPortLabel = "COM";
inline constexpr const char* kLcTypeLabel = "Тип ШДК";
inline constexpr const char* kLcTypeLc1 = "LC-1/2";
inline constexpr const char* kLcTypeAem = "AEM";
inline constexpr const char* kMinHits = "Мин. попаданий:";
inline constexpr const char* kMaxHits = "Макс. попаданий:";
inline constexpr const char* kMinCoolant = "Минимальная температура ОЖ (град. Цельсия):";
inline constexpr const char* kMinVoltage = "Минимальное напряжение бортовой сети (Вольт):";
inline constexpr const char* kOk = "ОК";
inline constexpr const char* kCancel = "Отмена";
inline constexpr const char* kApply = "Применить";
inline constexpr const char* kNotAnInteger = "«%1» не является целым числом";
inline constexpr const char* kSettingsNotWritten = "Не удалось записать файл настроек";
inline constexpr const char* kTableAddressesUnknown = "Адреса таблиц этой прошивки неизвестны";

// The 3D view.
inline constexpr const char* kSurfaceView = "Вид 3D";
inline constexpr const char* kSurfaceReset = "Сбросить вид";
inline constexpr const char* kSurfaceHint = "Правая кнопка мыши — вращение, колесо — масштаб";
inline constexpr const char* kSurfaceNoTable = "На этой вкладке нет таблицы";
inline constexpr const char* kSurfaceNoImage = "Откройте прошивку";
inline constexpr const char* kSurfaceNoGl = "Вид 3D недоступен: нет OpenGL";
inline constexpr const char* kAxisRpm = "Обороты, об/мин";
inline constexpr const char* kAxisThrottle = "Дроссель, %";
inline constexpr const char* kAxisPressure = "Давление, кПа";
inline constexpr const char* kAxisAirFill = "Цикловое наполнение";

}  // namespace veltrano::app_texts
