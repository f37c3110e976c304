function fig = vemlari_figure(caller)
%VEMLARI_FIGURE  New figure for a vemlari plotting script.
%   FIG = VEMLARI_FIGURE(CALLER) opens a white figure named CALLER. Octave
%   without a display (a CI machine, an ssh session) draws it invisibly so
%   that the PNG can still be printed.
if exist('OCTAVE_VERSION', 'builtin')
  warning('off', 'Octave:gnuplot-graphics');
  if isempty(getenv('DISPLAY')) && ~ispc && ~ismac
    set(0, 'defaultfigurevisible', 'off');
  end
end
fig = figure('Name', caller, 'NumberTitle', 'off', 'Color', 'w', ...
             'Position', [100 100 900 800], 'PaperPositionMode', 'auto');
end
