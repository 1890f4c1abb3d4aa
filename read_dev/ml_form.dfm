object ML_Form: TML_Form
  Left = 0
  Top = 0
  AutoSize = True
  BorderStyle = bsSingle
  Caption = 'Настройка параметров прибора'
  ClientHeight = 456
  ClientWidth = 752
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'Tahoma'
  Font.Style = []
  Menu = MainMenu1
  Position = poDesktopCenter
  ShowHint = True
  OnClose = FormClose
  OnCloseQuery = FormCloseQuery
  OnCreate = FormCreate
  object ToolBar1: TToolBar
    Left = 0
    Top = 0
    Width = 752
    Height = 32
    Align = alTop
    object SBOpenComPort: TSpeedButton
      Left = 4
      Top = 2
      Width = 28
      Height = 28
      Glyph.Resource = 'port_open.jpg'
      Hint = 'Открыть COM порт...'
      OnClick = SBOpenComPortClick
    end
    object SBCloseComPort: TSpeedButton
      Left = 34
      Top = 2
      Width = 28
      Height = 28
      Glyph.Resource = 'port_close.jpg'
      Hint = 'Закрыть COM порт...'
      Enabled = False
      OnClick = SBCloseComPortClick
    end
    object sb_jmp_boot: TSpeedButton
      Left = 72
      Top = 2
      Width = 28
      Height = 28
      Glyph.Resource = 'boot_loader.jpg'
      Hint = 'Jmp Boot Loader'
      OnClick = sb_jmp_bootClick
    end
    object SpeedButton1: TSpeedButton
      Left = 102
      Top = 2
      Width = 28
      Height = 28
      Visible = False
      OnClick = SpeedButton1Click
    end
    object SBAllExit: TSpeedButton
      Left = 140
      Top = 2
      Width = 28
      Height = 28
      Glyph.Resource = 'exit.jpg'
      Hint = 'Выход...'
      OnClick = SBAllExitClick
    end
  end
  object GroupBox2: TGroupBox
    Left = 8
    Top = 40
    Width = 200
    Height = 408
    Caption = 'Установки прибора'
    TabOrder = 0
    object SBMode: TSpeedButton
      Left = 8
      Top = 20
      Width = 184
      Height = 28
      Caption = 'Состояние прибора'
      OnClick = SBModeClick
    end
    object sb_user_phone: TSpeedButton
      Left = 8
      Top = 52
      Width = 184
      Height = 28
      Caption = 'Тел. Пользователей'
      OnClick = sb_user_phoneClick
    end
    object sb_apn_panel_on: TSpeedButton
      Left = 8
      Top = 84
      Width = 184
      Height = 28
      Caption = '"APN"  "Port"  "IP" '
      OnClick = sb_apn_panel_onClick
    end
    object SpeedButton10: TSpeedButton
      Left = 8
      Top = 116
      Width = 184
      Height = 28
      Caption = 'ID Прибора'
      OnClick = SpeedButton10Click
    end
    object SpeedButton21: TSpeedButton
      Left = 8
      Top = 148
      Width = 184
      Height = 28
      Caption = 'Дополнительно'
      OnClick = SpeedButton21Click
    end
    object SpeedButton12: TSpeedButton
      Left = 8
      Top = 180
      Width = 184
      Height = 28
      Caption = 'Интерфейс RS-485'
      OnClick = SpeedButton12Click
    end
    object SBCHErase: TSpeedButton
      Left = 8
      Top = 220
      Width = 184
      Height = 32
      Caption = 'Обнулить Память'
      Font.Charset = RUSSIAN_CHARSET
      Font.Color = clRed
      Font.Height = -13
      Font.Name = 'Tahoma'
      Font.Style = [fsBold]
      ParentFont = False
      OnClick = SBCHEraseClick
    end
    object Image1: TImage
      Left = 8
      Top = 264
      Width = 184
      Height = 130
      Picture.Resource = 'road.jpg'
      Stretch = True
    end
    object Label12: TLabel
      Left = 8
      Top = 268
      Width = 100
      Height = 14
      Caption = 'Интервал записи '
      Visible = False
    end
    object Label24: TLabel
      Left = 164
      Top = 268
      Width = 20
      Height = 14
      Caption = '(S)'
      Visible = False
    end
    object tbar_interval: TTrackBar
      Left = 8
      Top = 284
      Width = 150
      Height = 32
      Hint = 'Интервал записи в память прибора '
      LineSize = 5
      Max = 100
      Min = 5
      PageSize = 5
      Frequency = 5
      Position = 5
      TickMarks = tmBoth
      Visible = False
      OnChange = tbar_intervalChange
    end
    object Edit4: TEdit
      Left = 160
      Top = 288
      Width = 32
      Height = 22
      CharCase = ecUpperCase
      Enabled = False
      Text = '5'
      Visible = False
    end
    object SBTemp: TSpeedButton
      Left = 8
      Top = 320
      Width = 88
      Height = 24
      Caption = 'Запись'
      Visible = False
      OnClick = SBTempClick
    end
    object SpeedButton9: TSpeedButton
      Left = 104
      Top = 320
      Width = 88
      Height = 24
      Caption = 'SMS'
      Visible = False
      OnClick = SpeedButton9Click
    end
    object SBBeppON: TSpeedButton
      Left = 8
      Top = 350
      Width = 88
      Height = 24
      Caption = 'Звук ВКЛ'
      Visible = False
      OnClick = SBBeppONClick
    end
    object SBBeepOFF: TSpeedButton
      Left = 104
      Top = 350
      Width = 88
      Height = 24
      Caption = 'Звук ВЫКЛ'
      Visible = False
      OnClick = SBBeepOFFClick
    end
  end
  object Panel2: TPanel
    Left = 216
    Top = 40
    Width = 528
    Height = 408
    BevelOuter = bvLowered
    TabOrder = 1
    object GBMode: TGroupBox
      Left = 4
      Top = 4
      Width = 520
      Height = 400
      Caption = 'Состояние прибора'
      Font.Charset = RUSSIAN_CHARSET
      Font.Color = clWindowText
      Font.Height = -13
      Font.Name = 'Tahoma'
      Font.Style = []
      ParentFont = False
      Visible = False
      object Label23: TLabel
        Left = 16
        Top = 32
        Width = 480
        Height = 16
        Caption = 'Label23'
      end
      object Label17: TLabel
        Left = 16
        Top = 60
        Width = 480
        Height = 16
        Caption = 'Label17'
      end
      object Label18: TLabel
        Left = 16
        Top = 88
        Width = 480
        Height = 16
        Caption = 'Label18'
      end
      object Label21: TLabel
        Left = 16
        Top = 116
        Width = 480
        Height = 16
        Caption = 'Label21'
        Visible = False
      end
      object Label13: TLabel
        Left = 16
        Top = 144
        Width = 480
        Height = 16
        Caption = 'Label13'
      end
      object Label43: TLabel
        Left = 16
        Top = 172
        Width = 480
        Height = 16
        Caption = 'Label43'
      end
      object Label16: TLabel
        Left = 16
        Top = 200
        Width = 480
        Height = 16
        Caption = 'Label16'
      end
      object Label20: TLabel
        Left = 16
        Top = 228
        Width = 480
        Height = 16
        Caption = 'Label20'
      end
      object Label22: TLabel
        Left = 16
        Top = 256
        Width = 480
        Height = 16
        Caption = 'Label22'
      end
    end
    object user_phone: TGroupBox
      Left = 4
      Top = 4
      Width = 520
      Height = 400
      Caption = 'Телефоны Пользователей'
      Font.Charset = RUSSIAN_CHARSET
      Font.Color = clWindowText
      Font.Height = -12
      Font.Name = 'Tahoma'
      Font.Style = [fsBold]
      ParentFont = False
      Visible = False
      object Label29: TLabel
        Left = 12
        Top = 28
        Width = 180
        Height = 14
        Caption = 'Пароль пользователя'
      end
      object edit_pass: TEdit
        Left = 12
        Top = 46
        Width = 180
        Height = 22
        Hint = 'Пароль пользователя'
        Text = 'Vomar'
      end
      object sb_pass: TSpeedButton
        Left = 200
        Top = 44
        Width = 50
        Height = 26
        Caption = 'Да'
        OnClick = sb_passClick
      end
      object sb_read_pass: TSpeedButton
        Left = 256
        Top = 44
        Width = 80
        Height = 26
        Caption = 'Чтение'
        OnClick = sb_read_passClick
      end
      object Label27: TLabel
        Left = 12
        Top = 84
        Width = 180
        Height = 14
        Caption = 'Кол-во. Польз.'
      end
      object max_users_spin: TSpinEdit
        Left = 12
        Top = 102
        Width = 60
        Height = 22
        Hint = 'Количество диспетчерских мест'
        MaxValue = 3
        MinValue = 1
        Value = 1
      end
      object sb_max_users: TSpeedButton
        Left = 200
        Top = 100
        Width = 50
        Height = 26
        Caption = 'Да'
        OnClick = sb_max_usersClick
      end
      object Label14: TLabel
        Left = 12
        Top = 140
        Width = 180
        Height = 14
        Caption = 'Пользователь №'
      end
      object user_spin: TSpinEdit
        Left = 12
        Top = 158
        Width = 60
        Height = 22
        Hint = 'Номер программируемого пользователя'
        MaxValue = 3
        MinValue = 1
        Value = 1
      end
      object EditReadUser: TEdit
        Left = 80
        Top = 158
        Width = 170
        Height = 22
        Hint = 'Записанное значение'
        ReadOnly = True
      end
      object SBReadPH: TSpeedButton
        Left = 256
        Top = 156
        Width = 80
        Height = 26
        Caption = 'Чтение'
        OnClick = SBReadPHClick
      end
      object Label28: TLabel
        Left = 12
        Top = 196
        Width = 180
        Height = 14
        Caption = 'Номер телефона'
      end
      object done_edit_phone: TEdit
        Left = 12
        Top = 214
        Width = 180
        Height = 22
        Hint = 'Наберите номер телефона запросчика'
      end
      object sb_done_edit_phone: TSpeedButton
        Left = 200
        Top = 212
        Width = 50
        Height = 26
        Caption = 'Да'
        OnClick = sb_done_edit_phoneClick
      end
      object EditPhone: TEdit
        Left = 12
        Top = 264
        Width = 324
        Height = 22
        Hint = 'Записываемое значение'
        ReadOnly = True
      end
      object SBWritePH: TSpeedButton
        Left = 12
        Top = 296
        Width = 120
        Height = 30
        Caption = 'Запись'
        Enabled = False
        Font.Charset = RUSSIAN_CHARSET
        Font.Color = clRed
        Font.Height = -12
        Font.Name = 'Tahoma'
        Font.Style = [fsBold]
        ParentFont = False
        OnClick = SBWritePHClick
      end
    end
    object apn_panel: TGroupBox
      Left = 4
      Top = 4
      Width = 520
      Height = 400
      Caption = 'APN  (Параметры связи)'
      Visible = False
      object GroupBox3: TGroupBox
        Left = 8
        Top = 20
        Width = 504
        Height = 60
        Caption = 'Стандартные'
        object edit_apn: TEdit
          Left = 8
          Top = 24
          Width = 150
          Height = 22
        end
        object apn_box: TComboBox
          Left = 166
          Top = 24
          Width = 170
          Height = 22
          Style = csDropDown
          ItemIndex = -1
          Items.Strings = (
            'Полярная Связь'
            'Волна Мобайл'
            'ТелеРегион'
            'Меридиан GSM'
            'Кедр Телеком'
            'Радуга Связь')
        end
        object sb_read_apn: TSpeedButton
          Left = 344
          Top = 22
          Width = 76
          Height = 26
          Caption = 'Чтение'
          OnClick = sb_read_apnClick
        end
        object sb_write_apn: TSpeedButton
          Left = 424
          Top = 22
          Width = 76
          Height = 26
          Caption = 'Запись'
          OnClick = sb_write_apnClick
        end
      end
      object GroupBox4: TGroupBox
        Left = 8
        Top = 86
        Width = 504
        Height = 160
        Caption = 'Индивидуальные пользователя'
        object Label37: TLabel
          Left = 8
          Top = 20
          Width = 240
          Height = 14
          Caption = 'APN (Оператор  связи)'
        end
        object edit_user_apn: TEdit
          Left = 8
          Top = 36
          Width = 240
          Height = 22
          CharCase = ecLowerCase
          Text = 'internet.volna'
        end
        object Label40: TLabel
          Left = 8
          Top = 66
          Width = 240
          Height = 14
          Caption = 'Имя пользователя'
        end
        object edit_user_login: TEdit
          Left = 8
          Top = 82
          Width = 240
          Height = 22
          CharCase = ecLowerCase
          Text = 'norvale'
        end
        object Label41: TLabel
          Left = 8
          Top = 112
          Width = 240
          Height = 14
          Caption = 'Пароль пользователя'
        end
        object edit_user_pass: TEdit
          Left = 8
          Top = 128
          Width = 240
          Height = 22
          CharCase = ecLowerCase
          Text = 'norvale'
        end
        object sb_read_apn_user: TSpeedButton
          Left = 344
          Top = 34
          Width = 76
          Height = 26
          Caption = 'Чтение'
          OnClick = sb_read_apn_userClick
        end
        object sb_write_apn_user: TSpeedButton
          Left = 424
          Top = 34
          Width = 76
          Height = 26
          Caption = 'Запись'
          OnClick = sb_write_apn_userClick
        end
        object sb_apn_sms: TSpeedButton
          Left = 344
          Top = 80
          Width = 76
          Height = 26
          Caption = 'SMS'
          Visible = False
          OnClick = sb_apn_smsClick
        end
      end
      object Label42: TLabel
        Left = 16
        Top = 256
        Width = 240
        Height = 14
        Caption = 'Port (Порт сервера)'
      end
      object edit_read_portip: TEdit
        Left = 16
        Top = 274
        Width = 120
        Height = 22
      end
      object edit_write_portip: TComboBox
        Left = 144
        Top = 274
        Width = 120
        Height = 22
        Style = csSimple
        Text = '2020'
      end
      object sb_auto_port_sms: TSpeedButton
        Left = 272
        Top = 272
        Width = 64
        Height = 26
        Caption = 'SMS'
        Visible = False
      end
      object read_portip: TSpeedButton
        Left = 352
        Top = 272
        Width = 76
        Height = 26
        Caption = 'Чтение'
        OnClick = read_portipClick
      end
      object write_portip: TSpeedButton
        Left = 432
        Top = 272
        Width = 76
        Height = 26
        Caption = 'Запись'
        OnClick = write_portipClick
      end
      object Label38: TLabel
        Left = 16
        Top = 310
        Width = 240
        Height = 14
        Caption = 'IP  ( Адрес Сервера)'
      end
      object edit_ip: TEdit
        Left = 16
        Top = 328
        Width = 120
        Height = 22
        Hint = 'IP адрес в памяти прибора'
      end
      object ip_box: TComboBox
        Left = 144
        Top = 328
        Width = 120
        Height = 22
        Hint = 'IP адрес диспетчерского компьютера'
        Style = csSimple
      end
      object sb_setsms_ip: TSpeedButton
        Left = 272
        Top = 326
        Width = 64
        Height = 26
        Caption = 'SMS'
        Visible = False
        OnClick = sb_setsms_ipClick
      end
      object sb_read_ip: TSpeedButton
        Left = 352
        Top = 326
        Width = 76
        Height = 26
        Caption = 'Чтение'
        OnClick = sb_read_ipClick
      end
      object sb_write_ip: TSpeedButton
        Left = 432
        Top = 326
        Width = 76
        Height = 26
        Caption = 'Запись'
        OnClick = sb_write_ipClick
      end
    end
    object SerialBox: TGroupBox
      Left = 4
      Top = 4
      Width = 520
      Height = 400
      Caption = 'Номер Машины'
      Visible = False
      object SrEdit: TEdit
        Left = 16
        Top = 32
        Width = 236
        Height = 22
      end
      object OK_SERIAL: TSpeedButton
        Left = 16
        Top = 66
        Width = 112
        Height = 28
        Caption = 'Запись'
        OnClick = OK_SERIALClick
      end
      object SerialClose: TSpeedButton
        Left = 140
        Top = 66
        Width = 112
        Height = 28
        Caption = 'Закрыть'
        OnClick = SerialCloseClick
      end
      object sb_auto_serial_sms: TSpeedButton
        Left = 264
        Top = 66
        Width = 64
        Height = 28
        Caption = 'SMS'
        Visible = False
        OnClick = sb_auto_serial_smsClick
      end
    end
    object Ext: TGroupBox
      Left = 4
      Top = 4
      Width = 520
      Height = 400
      Caption = 'Ext'
      Visible = False
      object SpeedButton25: TSpeedButton
        Left = 16
        Top = 32
        Width = 150
        Height = 28
        Caption = 'Стоянка по GPS'
        OnClick = SpeedButton25Click
      end
      object SpeedButton26: TSpeedButton
        Left = 172
        Top = 32
        Width = 150
        Height = 28
        Caption = 'Стоянка по IGN'
        OnClick = SpeedButton26Click
      end
      object Edit14: TEdit
        Left = 332
        Top = 35
        Width = 172
        Height = 22
      end
      object SpeedButton27: TSpeedButton
        Left = 16
        Top = 72
        Width = 150
        Height = 28
        Caption = 'Коды'
        OnClick = SpeedButton27Click
      end
      object SpeedButton28: TSpeedButton
        Left = 172
        Top = 72
        Width = 150
        Height = 28
        Caption = 'Литры'
        OnClick = SpeedButton28Click
      end
      object Edit15: TEdit
        Left = 332
        Top = 75
        Width = 172
        Height = 22
      end
    end
    object RS485: TGroupBox
      Left = 4
      Top = 4
      Width = 520
      Height = 400
      Caption = 'RS485'
      Visible = False
      object Label33: TLabel
        Left = 8
        Top = 18
        Width = 220
        Height = 16
        Caption = 'Программирование ДУТ'
        Font.Charset = RUSSIAN_CHARSET
        Font.Color = clNavy
        Font.Height = -13
        Font.Name = 'Tahoma'
        Font.Style = [fsBold]
        ParentFont = False
      end
      object SpeedButton11: TSpeedButton
        Left = 8
        Top = 40
        Width = 224
        Height = 26
        Caption = 'Чтение адреса датчика'
        OnClick = SpeedButton11Click
      end
      object read_addr: TEdit
        Left = 238
        Top = 42
        Width = 90
        Height = 22
      end
      object SpeedButton13: TSpeedButton
        Left = 8
        Top = 70
        Width = 224
        Height = 26
        Caption = 'Запись адреса датчика'
        OnClick = SpeedButton13Click
      end
      object Edit7: TEdit
        Left = 238
        Top = 72
        Width = 90
        Height = 22
      end
      object SpeedButton14: TSpeedButton
        Left = 8
        Top = 100
        Width = 224
        Height = 26
        Caption = 'Чтение фильтрованных данных'
        OnClick = SpeedButton14Click
      end
      object Edit8: TEdit
        Left = 238
        Top = 102
        Width = 90
        Height = 22
      end
      object SpeedButton15: TSpeedButton
        Left = 8
        Top = 130
        Width = 224
        Height = 26
        Caption = 'Чтение не фильтрованных данных'
        OnClick = SpeedButton15Click
      end
      object Edit9: TEdit
        Left = 238
        Top = 132
        Width = 90
        Height = 22
      end
      object SpeedButton16: TSpeedButton
        Left = 8
        Top = 160
        Width = 224
        Height = 26
        Caption = 'Чтение температуры датчика'
        OnClick = SpeedButton16Click
      end
      object Edit10: TEdit
        Left = 238
        Top = 162
        Width = 90
        Height = 22
      end
      object Bevel2: TBevel
        Left = 8
        Top = 194
        Width = 320
        Height = 2
        Shape = bsTopLine
      end
      object Label34: TLabel
        Left = 8
        Top = 202
        Width = 100
        Height = 14
        Caption = 'Номер отсчета'
      end
      object Label44: TLabel
        Left = 116
        Top = 202
        Width = 100
        Height = 14
        Caption = 'Входной код'
      end
      object Label45: TLabel
        Left = 224
        Top = 202
        Width = 100
        Height = 14
        Caption = 'Выходной код'
      end
      object CSpinEdit1: TCSpinEdit
        Left = 8
        Top = 220
        Width = 100
        Height = 22
      end
      object Edit11: TEdit
        Left = 116
        Top = 220
        Width = 100
        Height = 22
      end
      object Edit12: TEdit
        Left = 224
        Top = 220
        Width = 100
        Height = 22
      end
      object SpeedButton17: TSpeedButton
        Left = 116
        Top = 246
        Width = 100
        Height = 24
        Caption = 'Считать'
        OnClick = SpeedButton17Click
      end
      object SpeedButton20: TSpeedButton
        Left = 224
        Top = 246
        Width = 100
        Height = 24
        Caption = 'Да'
        OnClick = SpeedButton20Click
      end
      object Edit13: TEdit
        Left = 8
        Top = 282
        Width = 208
        Height = 22
      end
      object SpeedButton18: TSpeedButton
        Left = 224
        Top = 280
        Width = 100
        Height = 26
        Caption = 'Записать'
        OnClick = SpeedButton18Click
      end
      object SpeedButton19: TSpeedButton
        Left = 224
        Top = 310
        Width = 100
        Height = 26
        Caption = 'Прочитать'
        OnClick = SpeedButton19Click
      end
      object Label46: TLabel
        Left = 340
        Top = 18
        Width = 172
        Height = 16
        Caption = 'Таблица'
      end
      object StringGrid1: TStringGrid
        Left = 340
        Top = 40
        Width = 172
        Height = 292
        ColCount = 3
        DefaultColWidth = 46
        DefaultRowHeight = 18
        FixedCols = 1
        FixedRows = 1
        RowCount = 31
        Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goEditing]
      end
      object SpeedButton22: TSpeedButton
        Left = 340
        Top = 338
        Width = 84
        Height = 26
        Caption = 'Прочитать'
        OnClick = SpeedButton22Click
      end
      object SpeedButton23: TSpeedButton
        Left = 428
        Top = 338
        Width = 84
        Height = 26
        Caption = 'Записать'
        OnClick = SpeedButton23Click
      end
      object SpeedButton24: TSpeedButton
        Left = 340
        Top = 368
        Width = 172
        Height = 26
        Caption = 'Записать 0'
        OnClick = SpeedButton24Click
      end
    end
    object Panel4: TPanel
      Left = 4
      Top = 4
      Width = 520
      Height = 400
      Visible = False
      object sb_bt_load: TSpeedButton
        Left = 8
        Top = 8
        Width = 32
        Height = 32
        Visible = False
      end
      object AutuRead: TSpeedButton
        Left = 48
        Top = 8
        Width = 32
        Height = 32
        Glyph.Resource = 'download.jpg'
        Hint = 'Чтение данных из прибора и запись в файл...'
        OnClick = AutuReadClick
      end
      object ExitForm: TSpeedButton
        Left = 88
        Top = 8
        Width = 32
        Height = 32
        Glyph.Resource = 'save_data.jpg'
        Hint = 'Сохранение данных  в диалоговом режиме ...'
        OnClick = ExitFormClick
      end
      object ZipOn: TCheckBox
        Left = 400
        Top = 16
        Width = 100
        Height = 17
        Caption = 'Zip On'
        Checked = True
        State = cbChecked
        Visible = False
      end
      object GroupBox1: TGroupBox
        Left = 8
        Top = 48
        Width = 504
        Height = 96
        Caption = 'Преобразование Форматов'
        object SBConversion: TSpeedButton
          Left = 8
          Top = 20
          Width = 110
          Height = 26
          Caption = 'Выбор Файла'
          OnClick = SBConversionClick
        end
        object PBar2: TProgressBar
          Left = 126
          Top = 24
          Width = 370
          Height = 18
        end
        object Label30: TLabel
          Left = 8
          Top = 60
          Width = 200
          Height = 14
          Caption = 'Label30'
        end
      end
      object gb_read_data: TGroupBox
        Left = 8
        Top = 152
        Width = 504
        Height = 140
        Caption = 'Чтение данных из прибора'
        object SBReadAndSave: TSpeedButton
          Left = 8
          Top = 20
          Width = 110
          Height = 26
          Caption = 'ЧТЕНИЕ'
          OnClick = SBReadAndSaveClick
        end
        object PBar1: TProgressBar
          Left = 126
          Top = 24
          Width = 370
          Height = 18
        end
        object Label25: TLabel
          Left = 8
          Top = 56
          Width = 300
          Height = 14
          Caption = 'Label25'
        end
        object Label19: TLabel
          Left = 8
          Top = 80
          Width = 300
          Height = 14
          Caption = 'Время чтения (S) =0'
        end
        object Label4: TLabel
          Left = 8
          Top = 104
          Width = 180
          Height = 14
          Caption = 'Старт Адрес'
        end
        object Label5: TLabel
          Left = 200
          Top = 104
          Width = 180
          Height = 14
          Caption = 'Стоп Адрес'
        end
      end
    end
    object PDebug: TGroupBox
      Left = 4
      Top = 4
      Width = 520
      Height = 400
      Caption = 'Debug Panel'
      DragKind = dkDock
      DragMode = dmAutomatic
      Visible = False
      object Label3: TLabel
        Left = 12
        Top = 18
        Width = 200
        Height = 14
        Caption = 'Device Read Write Test'
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clNavy
        Font.Height = -12
        Font.Name = 'Tahoma'
        Font.Style = [fsBold]
        ParentFont = False
      end
      object Label7: TLabel
        Left = 12
        Top = 38
        Width = 76
        Height = 14
        Caption = 'Start Adr R/ W'
      end
      object Edit1: TEdit
        Left = 12
        Top = 54
        Width = 76
        Height = 22
        CharCase = ecUpperCase
        Text = '0000'
      end
      object Label8: TLabel
        Left = 96
        Top = 38
        Width = 76
        Height = 14
        Caption = 'End Adr  R/ W'
      end
      object Edit2: TEdit
        Left = 96
        Top = 54
        Width = 76
        Height = 22
        CharCase = ecUpperCase
        Text = '00FF'
      end
      object Label9: TLabel
        Left = 180
        Top = 38
        Width = 60
        Height = 14
        Caption = 'Write Data'
      end
      object Edit3: TEdit
        Left = 180
        Top = 54
        Width = 50
        Height = 22
        CharCase = ecUpperCase
        Text = 'FF'
      end
      object SBCHRead: TSpeedButton
        Left = 240
        Top = 52
        Width = 80
        Height = 26
        Caption = 'CH Read'
        OnClick = SBCHReadClick
      end
      object SBCHWrite: TSpeedButton
        Left = 324
        Top = 52
        Width = 80
        Height = 26
        Caption = 'CH Write'
        OnClick = SBCHWriteClick
      end
      object Label2: TLabel
        Left = 12
        Top = 84
        Width = 392
        Height = 14
        Caption = 'Label2'
      end
      object Label10: TLabel
        Left = 12
        Top = 106
        Width = 200
        Height = 14
        Caption = 'Device Enable Write Message'
      end
      object SBWriteON: TSpeedButton
        Left = 12
        Top = 122
        Width = 80
        Height = 26
        Caption = 'Write ON'
      end
      object SBWriteOFF: TSpeedButton
        Left = 96
        Top = 122
        Width = 80
        Height = 26
        Caption = 'Write OFF'
      end
      object Label11: TLabel
        Left = 190
        Top = 128
        Width = 100
        Height = 14
        Caption = 'Result Test.'
      end
      object Bevel1: TBevel
        Left = 8
        Top = 156
        Width = 400
        Height = 2
        Shape = bsTopLine
      end
      object Label15: TLabel
        Left = 12
        Top = 164
        Width = 200
        Height = 14
        Caption = 'Format Out Scrin'
      end
      object SBReadAdr: TSpeedButton
        Left = 12
        Top = 180
        Width = 80
        Height = 26
        Caption = 'Read ADR'
        OnClick = SBReadAdrClick
      end
      object SBRead_D3: TSpeedButton
        Left = 96
        Top = 180
        Width = 80
        Height = 26
        Caption = 'Read D3'
        OnClick = SBRead_D3Click
      end
      object Label6: TLabel
        Left = 184
        Top = 186
        Width = 220
        Height = 14
        Caption = 'Label6'
      end
      object Label26: TLabel
        Left = 12
        Top = 214
        Width = 200
        Height = 14
        Caption = 'Test 0x55 OUT'
      end
      object SpeedButton5: TSpeedButton
        Left = 12
        Top = 230
        Width = 80
        Height = 26
        Caption = 'Stop 0x55'
      end
      object SpeedButton6: TSpeedButton
        Left = 96
        Top = 230
        Width = 80
        Height = 26
        Caption = 'Out 0x55'
      end
      object Label31: TLabel
        Left = 12
        Top = 268
        Width = 30
        Height = 14
        Caption = 'Ver='
      end
      object SBVer_Nam_: TSpeedButton
        Left = 48
        Top = 262
        Width = 80
        Height = 26
        Caption = 'Ver Nam'
      end
      object Label39: TLabel
        Left = 136
        Top = 268
        Width = 100
        Height = 14
        Caption = 'Label39'
      end
      object SBLimit_Velos_: TSpeedButton
        Left = 12
        Top = 294
        Width = 100
        Height = 26
        Caption = 'Limit Veloc.'
      end
      object Edit6: TEdit
        Left = 118
        Top = 296
        Width = 40
        Height = 22
        Text = '10'
      end
      object Label32: TLabel
        Left = 164
        Top = 300
        Width = 40
        Height = 14
        Caption = '(km/h)'
      end
      object sb_read4000: TSpeedButton
        Left = 12
        Top = 328
        Width = 80
        Height = 26
        Caption = 'Read4000'
      end
      object SBResetDevice: TSpeedButton
        Left = 96
        Top = 328
        Width = 112
        Height = 26
        Caption = 'Сброс Прибора'
      end
      object sb_net_auto: TSpeedButton
        Left = 212
        Top = 328
        Width = 92
        Height = 26
        Caption = 'sb_net_auto'
      end
      object sb_map_auto: TSpeedButton
        Left = 308
        Top = 328
        Width = 92
        Height = 26
        Caption = 'sb_map_auto'
      end
      object SpeedButton7: TSpeedButton
        Left = 420
        Top = 20
        Width = 88
        Height = 26
        Caption = 'RTS_ON'
        OnClick = SpeedButton7Click
      end
      object SpeedButton8: TSpeedButton
        Left = 420
        Top = 48
        Width = 88
        Height = 26
        Caption = 'RTS_OFF'
        OnClick = SpeedButton8Click
      end
      object SpeedButton2: TSpeedButton
        Left = 420
        Top = 76
        Width = 88
        Height = 26
        Caption = 'DTR_ON'
        OnClick = SpeedButton2Click
      end
      object SpeedButton3: TSpeedButton
        Left = 420
        Top = 104
        Width = 88
        Height = 26
        Caption = 'DTR_OFF'
        OnClick = SpeedButton3Click
      end
      object SerialBT: TSpeedButton
        Left = 420
        Top = 140
        Width = 88
        Height = 26
        Caption = 'Serial'
      end
      object SBSetup: TSpeedButton
        Left = 420
        Top = 196
        Width = 88
        Height = 28
        Caption = 'Start Setup'
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clRed
        Font.Height = -12
        Font.Name = 'Tahoma'
        Font.Style = [fsBold]
        ParentFont = False
        OnClick = SBSetupClick
      end
      object sb_full_erase: TSpeedButton
        Left = 420
        Top = 228
        Width = 88
        Height = 26
        Caption = 'FullErase'
        OnClick = sb_full_eraseClick
      end
      object SpeedButton4: TSpeedButton
        Left = 420
        Top = 262
        Width = 28
        Height = 28
        Visible = False
        OnClick = SpeedButton4Click
      end
      object SBCloseDeb: TSpeedButton
        Left = 420
        Top = 362
        Width = 88
        Height = 28
        Caption = 'Close'
        OnClick = SBCloseDebClick
      end
    end
    object GBCatalog: TGroupBox
      Left = 40
      Top = 120
      Width = 448
      Height = 110
      Caption = 'Рабочий каталог'
      Visible = False
      object Edit5: TEdit
        Left = 12
        Top = 30
        Width = 384
        Height = 22
      end
      object SBCtalog: TSpeedButton
        Left = 404
        Top = 28
        Width = 32
        Height = 26
        Caption = '...'
        OnClick = SBCtalogClick
      end
      object ExitCatalog: TSpeedButton
        Left = 12
        Top = 66
        Width = 100
        Height = 28
        Caption = 'Выход'
        OnClick = ExitCatalogClick
      end
    end
    object Panel1: TPanel
      Left = 100
      Top = 40
      Width = 320
      Height = 300
      Visible = False
      object Label1: TLabel
        Left = 12
        Top = 8
        Width = 100
        Height = 16
        Caption = 'Установки'
        Font.Charset = RUSSIAN_CHARSET
        Font.Color = clWindowText
        Font.Height = -13
        Font.Name = 'Tahoma'
        Font.Style = [fsBold]
        ParentFont = False
      end
      object NmeaComRG: TRadioGroup
        Left = 12
        Top = 32
        Width = 140
        Height = 216
        Caption = 'Comm порт'
        ItemIndex = 0
        Items.Strings = (
          'Comm1'
          'Comm2'
          'Comm3'
          'Comm4'
          'Comm5'
          'Comm6'
          'Comm7'
          'Comm8')
      end
      object NmeaBR: TRadioGroup
        Left = 164
        Top = 32
        Width = 140
        Height = 216
        Caption = 'Скорость'
        ItemIndex = 0
        Items.Strings = (
          '38400'
          '9600'
          '115200'
          '230400'
          '460800'
          '921600'
          '19200')
      end
      object DoneNmea: TButton
        Left = 12
        Top = 258
        Width = 292
        Height = 30
        Caption = 'Запись'
        OnClick = DoneNmeaClick
      end
    end
    object Panel3: TPanel
      Left = 60
      Top = 150
      Width = 400
      Height = 110
      Color = clRed
      Visible = False
      object Label35: TLabel
        Left = 16
        Top = 12
        Width = 368
        Height = 19
        Caption = 'Обнуление   памяти прибора'
        Font.Charset = RUSSIAN_CHARSET
        Font.Color = clWhite
        Font.Height = -16
        Font.Name = 'Tahoma'
        Font.Style = [fsBold]
        ParentFont = False
      end
      object Label36: TLabel
        Left = 16
        Top = 42
        Width = 368
        Height = 19
        Caption = 'Label36'
        Font.Charset = RUSSIAN_CHARSET
        Font.Color = clWhite
        Font.Height = -16
        Font.Name = 'Tahoma'
        Font.Style = [fsBold]
        ParentFont = False
      end
      object pb_mem: TProgressBar
        Left = 16
        Top = 74
        Width = 368
        Height = 20
        Max = 30
      end
    end
  end
  object StatusBar1: TStatusBar
    Left = 0
    Top = 436
    Width = 752
    Height = 20
    Panels = <
      item
        Width = 300
      end
      item
        Width = 50
      end>
    Visible = False
  end
  object MainMenu1: TMainMenu
    Left = 700
    Top = 4
    object File1: TMenuItem
      Caption = 'Файл'
      object Catalog: TMenuItem
        Caption = 'Рабочий каталог'
        OnClick = CatalogClick
      end
      object Open1: TMenuItem
        Caption = 'Открыть текстовый файл'
        OnClick = Open1Click
      end
      object N2: TMenuItem
        Caption = '-'
      end
      object deb_panel: TMenuItem
        Caption = 'Отладка'
        OnClick = deb_panelClick
      end
      object track_panel: TMenuItem
        Caption = 'Чтение данных из прибора'
        OnClick = track_panelClick
      end
      object Exit1: TMenuItem
        Caption = 'Выход'
        OnClick = Exit1Click
      end
    end
    object Setup1: TMenuItem
      Caption = 'Установки  COM порта'
      OnClick = Setup1Click
    end
    object N3: TMenuItem
      Caption = 'Общие настройки'
      object auto_namber: TMenuItem
        Caption = 'Рег.Номер машины'
        Visible = False
        OnClick = auto_namberClick
      end
      object mill_setup: TMenuItem
        Caption = 'Заводские установки'
        OnClick = mill_setupClick
      end
      object N1: TMenuItem
        Caption = 'Форматировать память'
        OnClick = N1Click
      end
    end
  end
  object OpenDialog1: TOpenDialog
    DefaultExt = '*.txt'
    Filter = 'Text Files  gps*.txt|gps_*.txt|Text Files   *_TC.txt|*_TC.txt|Text Files *_RELOAD.txt|*_RELOAD.txt'
    Left = 668
    Top = 4
  end
end
