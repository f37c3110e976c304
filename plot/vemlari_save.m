function vemlari_save(fig, caller)
%VEMLARI_SAVE  Writes figure FIG as CALLER.png into the current folder.
name = fullfile(pwd, [caller '.png']);
print(fig, '-dpng', '-r100', name);
fprintf('%s: wrote %s\n', caller, name);
drawnow;
end
