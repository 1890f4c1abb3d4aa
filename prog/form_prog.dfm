object FormProg: TFormProg
  Left = 0
  Top = 0
  AutoSize = True
  BorderStyle = bsToolWindow
  Caption = 'Flasket V1.0'
  ClientHeight = 453
  ClientWidth = 693
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Tahoma'
  Font.Style = []
  Position = poDesktopCenter
  ShowHint = True
  OnClose = FormClose
  OnCloseQuery = FormCloseQuery
  OnCreate = FormCreate
  object ToolBar1: TToolBar
    Left = 0
    Top = 0
    Width = 693
    Height = 32
    Align = alTop
    object sb_open_files: TSpeedButton
      Left = 4
      Top = 2
      Width = 28
      Height = 28
      Glyph.Resource = 'open_file.jpg'
      Hint = 'Open HEX File...'
      OnClick = sb_open_filesClick
    end
    object ToolButton2: TToolButton
      Left = 34
      Top = 2
      Width = 8
      Style = tbsSeparator
    end
    object sb_connect: TSpeedButton
      Left = 44
      Top = 2
      Width = 28
      Height = 28
      Glyph.Resource = 'connect.jpg'
      Hint = 'Connect'
      OnClick = sb_connectClick
    end
    object sb_disconnect: TSpeedButton
      Left = 74
      Top = 2
      Width = 28
      Height = 28
      Enabled = False
      Glyph.Resource = 'disconnect.jpg'
      Hint = 'Disconnect'
      OnClick = sb_disconnectClick
    end
    object ToolButton1: TToolButton
      Left = 104
      Top = 2
      Width = 8
      Style = tbsSeparator
    end
    object Panel3: TPanel
      Left = 114
      Top = 2
      Width = 110
      Height = 28
      BevelOuter = bvNone
      object ComboBox1: TComboBox
        Left = 4
        Top = 3
        Width = 100
        Height = 21
        Style = csDropDownList
        Sorted = True
      end
    end
    object sb_start_ld: TSpeedButton
      Left = 228
      Top = 2
      Width = 60
      Height = 28
      Caption = 'Start'
      Enabled = False
      Visible = False
      OnClick = sb_start_ldClick
    end
  end
  object Panel2: TPanel
    Left = 0
    Top = 32
    Width = 340
    Height = 200
    object prog_b1: TProgressBar
      Left = 8
      Top = 6
      Width = 324
      Height = 16
    end
    object Label4: TLabel
      Left = 8
      Top = 28
      Width = 160
      Height = 14
      Caption = 'Label4'
    end
    object Label11: TLabel
      Left = 200
      Top = 28
      Width = 130
      Height = 14
      Caption = 'Label11'
    end
    object PageControl1: TPageControl
      Left = 8
      Top = 48
      Width = 324
      Height = 146
      ActivePage = TabSheet1
      object TabSheet1: TTabSheet
        Caption = 'Dump Mem'
        object Label7: TLabel
          Left = 12
          Top = 12
          Width = 40
          Height = 14
          Caption = 'Start'
        end
        object Label5: TLabel
          Left = 60
          Top = 12
          Width = 14
          Height = 14
          Caption = '0x'
        end
        object ed_start: TEdit
          Left = 76
          Top = 8
          Width = 80
          Height = 21
          CharCase = ecUpperCase
          Text = '0000'
        end
        object Label8: TLabel
          Left = 12
          Top = 44
          Width = 40
          Height = 14
          Caption = 'Stop'
        end
        object Label6: TLabel
          Left = 60
          Top = 44
          Width = 14
          Height = 14
          Caption = '0x'
        end
        object ed_stop: TEdit
          Left = 76
          Top = 40
          Width = 80
          Height = 21
          CharCase = ecUpperCase
          Text = '0200'
        end
        object sb_dump: TSpeedButton
          Left = 180
          Top = 22
          Width = 90
          Height = 26
          Caption = 'Dump'
          OnClick = sb_dumpClick
        end
      end
      object TabSheet2: TTabSheet
        Caption = ' Write Mem.'
        object sb_clr_addr: TSpeedButton
          Left = 12
          Top = 10
          Width = 90
          Height = 26
          Caption = 'Clr Addr'
          OnClick = sb_clr_addrClick
        end
        object sb_write_all: TSpeedButton
          Left = 112
          Top = 10
          Width = 90
          Height = 26
          Caption = 'Write All'
          OnClick = sb_write_allClick
        end
        object Bevel1: TBevel
          Left = 12
          Top = 48
          Width = 290
          Height = 2
          Shape = bsTopLine
        end
        object sb_jmp_0000: TSpeedButton
          Left = 12
          Top = 60
          Width = 90
          Height = 26
          Caption = 'JMP 0000'
          OnClick = sb_jmp_0000Click
        end
        object SpeedButton1: TSpeedButton
          Left = 112
          Top = 60
          Width = 90
          Height = 26
          Caption = 'JMP F000'
          Visible = False
        end
      end
      object TabSheet3: TTabSheet
        Caption = 'R-W Lock Bit'
        object Label9: TLabel
          Left = 12
          Top = 12
          Width = 60
          Height = 14
          Caption = 'Fuses'
        end
        object ed_fs: TEdit
          Left = 80
          Top = 8
          Width = 130
          Height = 21
        end
        object Label10: TLabel
          Left = 12
          Top = 44
          Width = 60
          Height = 14
          Caption = 'Lock Bits'
        end
        object ed_lk: TEdit
          Left = 80
          Top = 40
          Width = 130
          Height = 21
        end
        object sb_read_lock: TSpeedButton
          Left = 222
          Top = 6
          Width = 80
          Height = 26
          Caption = 'Read LF'
          OnClick = sb_read_lockClick
        end
        object wr_lock: TSpeedButton
          Left = 222
          Top = 38
          Width = 80
          Height = 26
          Caption = 'Wr Lock'
          OnClick = wr_lockClick
        end
      end
      object TabSheet4: TTabSheet
        Caption = 'Deb'
        object sb_test_dat: TSpeedButton
          Left = 12
          Top = 10
          Width = 90
          Height = 26
          Caption = 'Dat.'
          OnClick = sb_test_datClick
        end
        object sb_test_wr: TSpeedButton
          Left = 112
          Top = 10
          Width = 90
          Height = 26
          Caption = 'Test WR'
          OnClick = sb_test_wrClick
        end
      end
    end
  end
  object Panel4: TPanel
    Left = 340
    Top = 32
    Width = 353
    Height = 200
    object Label1: TLabel
      Left = 12
      Top = 8
      Width = 200
      Height = 14
      Caption = 'Label1'
    end
    object Label2: TLabel
      Left = 12
      Top = 28
      Width = 200
      Height = 14
      Caption = 'Label2'
    end
    object Label3: TLabel
      Left = 12
      Top = 48
      Width = 200
      Height = 14
      Caption = 'Label3'
    end
    object GroupBox1: TGroupBox
      Left = 12
      Top = 76
      Width = 330
      Height = 112
      Caption = 'Format Input Files '
      object sb_hex: TSpeedButton
        Left = 12
        Top = 24
        Width = 90
        Height = 26
        Caption = 'Hex_1'
        OnClick = sb_hexClick
      end
      object sb_hex_format: TSpeedButton
        Left = 116
        Top = 24
        Width = 90
        Height = 26
        Caption = 'Hex_2'
        OnClick = sb_hex_formatClick
      end
      object sb_mega_format: TSpeedButton
        Left = 220
        Top = 24
        Width = 90
        Height = 26
        Caption = 'Mega'
        OnClick = sb_mega_formatClick
      end
      object cb8_16: TCheckBox
        Left = 12
        Top = 70
        Width = 120
        Height = 17
        Caption = '8/16 Bit'
      end
    end
  end
  object Panel1: TPanel
    Left = 0
    Top = 232
    Width = 693
    Height = 201
    object Memo1: TRichEdit
      Left = 4
      Top = 4
      Width = 620
      Height = 193
      Font.Name = 'Courier New'
      Font.Height = -12
      ScrollBars = ssVertical
      Lines.Strings = (
        '')
    end
    object sb_clr_memo: TSpeedButton
      Left = 630
      Top = 4
      Width = 58
      Height = 26
      Caption = 'Clr'
      OnClick = sb_clr_memoClick
    end
  end
  object StatBar: TStatusBar
    Left = 0
    Top = 433
    Width = 693
    Height = 20
    Panels = <
      item
        Width = 300
      end
      item
        Width = 50
      end>
  end
  object OpenDialog1: TOpenDialog
    Filter = 'Hex Files|*.hex|Text Files|*.txt|All Files|*.*|Bin Files|*.bin'
    FilterIndex = 1
    Left = 660
    Top = 4
  end
end
